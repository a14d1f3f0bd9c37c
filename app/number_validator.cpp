#include "number_validator.h"

#include <QLocale>

number_validator::number_validator()
    : QValidator(nullptr)
    , integer(nullptr)
{
    integer.setBottom(0);
    integer.setTop(max_minutes);
    // fixup must not put group separators back in, which validate refuses.
    QLocale locale = integer.locale();
    locale.setNumberOptions(locale.numberOptions() | QLocale::OmitGroupSeparator);
    integer.setLocale(locale);
}

QValidator::State number_validator::validate(QString& text, int& position) const
{
    if (text.contains(QLatin1Char(',')) || text.contains(QLatin1Char('.')))
        return Invalid;
    const State state = integer.validate(text, position);
    // QIntValidator lets a number above the top pass as intermediate while
    // it has no more digits than the top; such a number can never become
    // acceptable by typing more.
    if (state == Intermediate) {
        bool ok = false;
        const qlonglong value = text.toLongLong(&ok);
        if (ok && value > max_minutes)
            return Invalid;
    }
    return state;
}

void number_validator::fixup(QString& text) const
{
    text.remove(QLatin1Char('.'));
    text.remove(QLatin1Char(','));
    integer.fixup(text);
}
