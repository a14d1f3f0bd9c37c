#pragma once
// Validator of the time-limit fields: whole minutes from 0 up, no decimal or
// grouping separators, and no more than a time difference in seconds can
// hold (minutes x 60 must fit into an int).

#include <QIntValidator>
#include <QValidator>

class number_validator : public QValidator
{
    Q_OBJECT
public:
    // The largest number of minutes whose seconds fit into an int.
    static constexpr int max_minutes = 2147483647 / 60;

    number_validator();

    State validate(QString& text, int& position) const override;
    void fixup(QString& text) const override;

    QIntValidator* integer_validator() { return &integer; }

private:
    QIntValidator integer;
};
