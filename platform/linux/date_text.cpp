// platform/linux/date_text.cpp: the date text reader of VariantChangeType.
#include "platform/linux/date_text.h"

#include <array>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>

#include "platform/linux/calendar.h"

namespace pixelfold::platform {
namespace {

struct Number {
    std::int64_t value;
    int digits;
};

// What the text says, before the parts are put in order.
struct Parts {
    std::array<Number, 3> dateNumbers{};
    int dateNumberCount = 0;
    int month = 0;  // from a month name
    std::array<std::int64_t, 3> time{};
    int timeFieldCount = 0;
    int meridiem = 0;  // 0: none, 1: AM, 2: PM
};

constexpr std::array<std::u16string_view, 12> kMonthNames = {
    u"january", u"february", u"march",     u"april",   u"may",      u"june",
    u"july",    u"august",   u"september", u"october", u"november", u"december"};
constexpr std::array<std::u16string_view, 7> kDayNames = {
    u"sunday", u"monday", u"tuesday", u"wednesday", u"thursday", u"friday", u"saturday"};

bool IsDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}
bool IsLetter(char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}
char16_t Lower(char16_t c) {
    return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + (u'a' - u'A')) : c;
}

// A full name, or its first three letters.
bool NamesOne(std::u16string_view word, std::u16string_view name) {
    if (word == name) return true;
    return word.size() == 3 && name.substr(0, 3) == word;
}

class Scanner {
  public:
    explicit Scanner(std::u16string_view text) : text_(text) {}

    bool Scan(Parts& parts) {
        while (SkipSeparators()) {
            if (IsDigit(Peek())) {
                if (!ScanNumberOrTime(parts)) return false;
            } else if (IsLetter(Peek())) {
                if (!ScanWord(parts)) return false;
            } else {
                return false;
            }
        }
        return parts.dateNumberCount > 0 || parts.month != 0 || parts.timeFieldCount > 0;
    }

  private:
    char16_t Peek() const { return pos_ < text_.size() ? text_[pos_] : u'\0'; }

    // Steps over blanks and date separators; false at the end of the text.
    bool SkipSeparators() {
        while (pos_ < text_.size()) {
            const char16_t c = text_[pos_];
            if (c != u' ' && c != u'\t' && c != u'/' && c != u'-' && c != u',') {
                return true;
            }
            ++pos_;
        }
        return false;
    }

    std::optional<Number> ReadNumber() {
        Number n{0, 0};
        while (IsDigit(Peek())) {
            if (n.digits == 9) return std::nullopt;
            n.value = n.value * 10 + (Peek() - u'0');
            ++n.digits;
            ++pos_;
        }
        if (n.digits == 0) return std::nullopt;
        return n;
    }

    bool ScanNumberOrTime(Parts& parts) {
        const std::optional<Number> first = ReadNumber();
        if (!first) return false;
        if (Peek() != u':') {
            if (parts.dateNumberCount == 3) return false;
            parts.dateNumbers[parts.dateNumberCount++] = *first;
            return true;
        }
        if (parts.timeFieldCount != 0) return false;  // one time only
        parts.time[parts.timeFieldCount++] = first->value;
        while (Peek() == u':' && parts.timeFieldCount < 3) {
            ++pos_;
            const std::optional<Number> next = ReadNumber();
            if (!next) return false;
            parts.time[parts.timeFieldCount++] = next->value;
        }
        return Peek() != u':';
    }

    bool ScanWord(Parts& parts) {
        std::u16string word;
        while (IsLetter(Peek())) {
            word.push_back(Lower(Peek()));
            ++pos_;
        }
        if (word == u"am" || word == u"a" || word == u"pm" || word == u"p") {
            if (parts.meridiem != 0) return false;
            parts.meridiem = word[0] == u'a' ? 1 : 2;
            if (parts.timeFieldCount == 0) {
                // "9 PM": the last number read was an hour.
                if (parts.dateNumberCount == 0) return false;
                parts.time[0] = parts.dateNumbers[--parts.dateNumberCount].value;
                parts.timeFieldCount = 1;
            }
            return true;
        }
        for (std::size_t i = 0; i < kMonthNames.size(); ++i) {
            if (NamesOne(word, kMonthNames[i])) {
                if (parts.month != 0) return false;
                parts.month = static_cast<int>(i) + 1;
                return true;
            }
        }
        for (const std::u16string_view day : kDayNames) {
            if (NamesOne(word, day)) return true;
        }
        return false;
    }

    std::u16string_view text_;
    std::size_t pos_ = 0;
};

std::int64_t CurrentYear() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local.tm_year + 1900;
}

// Years below 100: 0 to 49 are this century's, 50 to 99 the last one's.
std::int64_t FullYear(const Number& n) {
    if (n.value < 50) return n.value + 2000;
    if (n.value < 100) return n.value + 1900;
    return n.value;
}

bool CanBeYearFirst(const Number& n) {
    return n.digits > 2 || n.value > 31;
}

struct Ymd {
    std::int64_t year;
    std::int64_t month;
    std::int64_t day;
};

std::optional<Ymd> OrderDate(const Parts& p) {
    const auto& n = p.dateNumbers;
    if (p.month != 0) {
        switch (p.dateNumberCount) {
            case 1:
                if (CanBeYearFirst(n[0])) return Ymd{FullYear(n[0]), p.month, 1};
                return Ymd{CurrentYear(), p.month, n[0].value};
            case 2:
                if (CanBeYearFirst(n[0])) return Ymd{FullYear(n[0]), p.month, n[1].value};
                return Ymd{FullYear(n[1]), p.month, n[0].value};
            default:
                return std::nullopt;
        }
    }
    switch (p.dateNumberCount) {
        case 2:
            if (CanBeYearFirst(n[1])) return Ymd{FullYear(n[1]), n[0].value, 1};
            if (n[0].value > 12 && n[1].value <= 12) {
                return Ymd{CurrentYear(), n[1].value, n[0].value};
            }
            return Ymd{CurrentYear(), n[0].value, n[1].value};
        case 3:
            if (CanBeYearFirst(n[0])) return Ymd{FullYear(n[0]), n[1].value, n[2].value};
            if (n[0].value > 12 && n[1].value <= 12) {
                return Ymd{FullYear(n[2]), n[1].value, n[0].value};
            }
            return Ymd{FullYear(n[2]), n[0].value, n[1].value};
        default:
            return std::nullopt;
    }
}

std::optional<std::int64_t> TimeOfDay(const Parts& p) {
    std::int64_t hour = p.time[0];
    const std::int64_t minute = p.time[1];
    const std::int64_t second = p.time[2];
    // "12 AM" is midnight, "12 PM" noon; a 24-hour time keeps its hour.
    if (p.meridiem == 1 && hour == 12) hour = 0;
    if (p.meridiem == 2 && hour < 12) hour += 12;
    if (hour > 23 || minute > 59 || second > 59) return std::nullopt;
    return hour * 3600 + minute * 60 + second;
}

}  // namespace

HRESULT DateFromText(const OLECHAR* text, DATE* date) {
    if (text == nullptr || date == nullptr) return DISP_E_TYPEMISMATCH;
    Parts parts;
    if (!Scanner(text).Scan(parts)) return DISP_E_TYPEMISMATCH;

    std::int64_t dayNumber = 0;
    if (parts.dateNumberCount > 0 || parts.month != 0) {
        const std::optional<Ymd> ymd = OrderDate(parts);
        if (!ymd || ymd->year < 100 || ymd->year > 9999 || ymd->month < 1 || ymd->month > 12 ||
            ymd->day < 1 || ymd->day > DaysInMonth(ymd->year, static_cast<int>(ymd->month))) {
            return DISP_E_TYPEMISMATCH;
        }
        dayNumber = DayNumber(ymd->year, static_cast<int>(ymd->month), ymd->day);
    }
    const std::optional<std::int64_t> seconds = TimeOfDay(parts);
    if (!seconds) return DISP_E_TYPEMISMATCH;
    *date = DateFromDayAndTime(dayNumber, *seconds);
    return S_OK;
}

}  // namespace pixelfold::platform
