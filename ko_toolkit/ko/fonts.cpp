#include "ko/fonts.h"

#include <QFont>
#include <QFontDatabase>
#include <QString>

namespace ko {

void register_fonts()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    QFontDatabase::addApplicationFont(QStringLiteral(":/images/FreeSans.ttf"));
    QFontDatabase::addApplicationFont(QStringLiteral(":/images/FreeSansBold.ttf"));
    if (!QFont::substitutes(QStringLiteral("FreeSansBold")).contains(QStringLiteral("FreeSans")))
        QFont::insertSubstitution(QStringLiteral("FreeSansBold"), QStringLiteral("FreeSans"));
}

} // namespace ko
