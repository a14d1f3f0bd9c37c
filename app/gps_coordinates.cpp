#include "gps_coordinates.h"

#include <QStringList>

#include <cctype>
#include <cmath>
#include <limits>
#include <utility>

namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// An "e" counts as exponent marker only between a digit and an exponent
// ("1.5e3", "1.5e-3"), so that letters of words such as "deg" are skipped.
bool is_exponent_marker(const std::string& text, std::size_t i)
{
    if (i == 0 || !is_digit(text[i - 1]) || i + 1 >= text.size())
        return false;
    std::size_t next = i + 1;
    if (text[next] == '-' || text[next] == '+')
        ++next;
    return next < text.size() && is_digit(text[next]);
}

double power_of_ten(long exponent) { return std::pow(10.0, static_cast<double>(exponent)); }

// Finds the degree marker: the byte 0xB0 (Latin-1 degree sign, also the last
// byte of its UTF-8 form) or, failing that, the word "deg" in any case.
bool find_degree_marker(const std::string& text, std::size_t& position, std::size_t& length)
{
    position = text.find('\xB0');
    if (position != std::string::npos) {
        length = 1;
        return true;
    }
    std::string lower(text);
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    position = lower.find("deg");
    if (position != std::string::npos) {
        length = 3;
        return true;
    }
    return false;
}

QString whole_number_text(float value)
{
    if (std::isfinite(value) && std::fabs(value) < 2.0e9f)
        return QString::number(static_cast<qint64>(value));
    return QString::number(static_cast<double>(value), 'f', 0);
}

} // namespace

double parse_number(const std::string& text, double fallback)
{
    double value = 0;        // digits since the last decimal separator (V)
    double whole = 0;        // all digits since the last exponent marker (W)
    long run_places = 0;     // place of the next digit within the current run
    long total_places = 0;   // place of the next digit since the exponent marker
    bool negative = false;
    bool thousands = false;
    bool any_digit = false;
    char first_separator = 0;
    long exponent = 0;

    for (std::size_t i = text.size(); i-- > 0;) {
        const char c = text[i];
        if ((c == 'e' || c == 'E') && is_exponent_marker(text, i)) {
            double e = negative ? -value : value;
            e = std::trunc(e);
            // Anything beyond this range over- or underflows a double anyway.
            if (!(e < 100000.0))
                e = 100000.0;
            if (!(e > -100000.0))
                e = -100000.0;
            exponent = static_cast<long>(e);
            value = 0;
            whole = 0;
            run_places = 0;
            total_places = 0;
            negative = false;
        } else if (c == ',' || c == '.') {
            if (first_separator == 0) {
                first_separator = c;
                value /= power_of_ten(run_places);
                run_places = 0;
            } else if (c == first_separator) {
                thousands = true;
            }
            // a separator of the other kind after the decimal point: skipped
        } else if (c == '-') {
            negative = true;
        } else if (is_digit(c)) {
            const int digit = c - '0';
            any_digit = true;
            // Zero digits add nothing; skipping them also keeps 0 * inf out.
            if (digit != 0) {
                value += digit * power_of_ten(run_places);
                whole += digit * power_of_ten(total_places);
            }
            ++run_places;
            ++total_places;
        }
        // blanks and any other characters are skipped
    }

    double result;
    if (thousands) {
        result = negative ? -whole : whole;
        if (exponent != 0)
            result *= power_of_ten(exponent);
    } else {
        result = negative ? -value : value;
        if (exponent != 0)
            result *= power_of_ten(exponent);
        else if (!any_digit)
            result = fallback;
    }
    if (std::isnan(result))
        return fallback;
    return result;
}

float parse_coordinate(std::string text) { return static_cast<float>(parse_coordinate_degrees(std::move(text))); }

double parse_coordinate_degrees(std::string text)
{
    while (!text.empty() && text.front() == ' ')
        text.erase(0, 1);

    const bool minus = !text.empty() && text.front() == '-';
    if (minus)
        text.erase(0, 1);

    double value = 0;
    std::size_t position = 0;
    std::size_t length = 0;
    if (find_degree_marker(text, position, length)) {
        value = parse_number(text.substr(0, position), 0);
        text = text.substr(position + length);
    }
    position = text.find('\'');
    if (position != std::string::npos) {
        value += parse_number(text.substr(0, position), 0) / 60.0;
        text = text.substr(position + 1);
    }
    position = text.find('"');
    if (position != std::string::npos) {
        value += parse_number(text.substr(0, position), 0) / 3600.0;
        text = text.substr(position + 1);
    }

    const QString rest = QString::fromUtf8(text.data(), static_cast<int>(text.size())).trimmed().toUpper();
    if (rest == QLatin1String("W") || rest == QLatin1String("S"))
        value = -value;
    if (minus)
        value = -value;
    return value;
}

QChar hemisphere_letter(float degrees, bool latitude)
{
    if (latitude)
        return degrees > 0 ? QLatin1Char('N') : QLatin1Char('S');
    return degrees > 0 ? QLatin1Char('E') : QLatin1Char('W');
}

QString coordinate_to_dms(float degrees, bool latitude)
{
    const float d = std::trunc(degrees);
    const float fraction = degrees - d;
    const float m = std::trunc(fraction * 60.0f);
    const float s = std::trunc((fraction * 60.0f - m) * 60.0f);
    return QStringLiteral("%1%2%3'%4\"%5")
        .arg(whole_number_text(d))
        .arg(QChar(0x00B0))
        .arg(whole_number_text(m))
        .arg(whole_number_text(s))
        .arg(hemisphere_letter(degrees, latitude));
}
