// metadata/exif_date_text.cpp: EXIF date text, read and written.
#include "metadata/exif_date_text.h"

namespace pixelfold {
namespace {

bool IsCSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

class DateTextScanner {
  public:
    explicit DateTextScanner(std::string_view text) : text_(text) {}

    void SkipSpace() {
        while (pos_ < text_.size() && IsCSpace(text_[pos_]))
            ++pos_;
    }

    // "%Nd": white space, then an optional sign and digits, `width` characters at most.
    bool Integer(std::size_t width, WORD& field) {
        SkipSpace();
        std::size_t used = 0;
        bool negative = false;
        if (pos_ < text_.size() && (text_[pos_] == '+' || text_[pos_] == '-')) {
            negative = text_[pos_] == '-';
            ++pos_;
            ++used;
        }
        unsigned value = 0;
        std::size_t digits = 0;
        while (used < width && pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '9') {
            value = value * 10 + static_cast<unsigned>(text_[pos_] - '0');
            ++pos_;
            ++used;
            ++digits;
        }
        if (digits == 0) return false;
        field = static_cast<WORD>(negative ? 0u - value : value);
        return true;
    }

    bool Literal(char c) {
        if (pos_ >= text_.size() || text_[pos_] != c) return false;
        ++pos_;
        return true;
    }

  private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

}  // namespace

bool ScanExifDateText(std::string_view text, SYSTEMTIME& fields) noexcept {
    fields = SYSTEMTIME{};
    DateTextScanner scan(text);
    if (!scan.Integer(4, fields.wYear) || !scan.Literal(':')) return false;
    if (!scan.Integer(2, fields.wMonth) || !scan.Literal(':')) return false;
    if (!scan.Integer(2, fields.wDay)) return false;
    scan.SkipSpace();
    if (!scan.Integer(2, fields.wHour) || !scan.Literal(':')) return false;
    if (!scan.Integer(2, fields.wMinute) || !scan.Literal(':')) return false;
    return scan.Integer(2, fields.wSecond);
}

bool ValidExifDate(const SYSTEMTIME& fields, DATE& date) noexcept {
    SYSTEMTIME in = fields;
    in.wMilliseconds = 0;
    DATE converted = 0.0;
    if (!SystemTimeToVariantTime(&in, &converted)) return false;
    SYSTEMTIME back{};
    if (!VariantTimeToSystemTime(converted, &back)) return false;
    if (back.wYear != fields.wYear || back.wMonth != fields.wMonth || back.wDay != fields.wDay ||
        back.wHour != fields.wHour || back.wMinute != fields.wMinute ||
        back.wSecond != fields.wSecond) {
        return false;
    }
    date = converted;
    return true;
}

std::array<char, 20> FormatExifDateText(const SYSTEMTIME& fields) noexcept {
    std::array<char, 20> text{};
    const auto put = [&text](std::size_t at, std::size_t width, unsigned value) {
        for (std::size_t i = width; i-- > 0; value /= 10)
            text[at + i] = static_cast<char>('0' + value % 10);
    };
    put(0, 4, fields.wYear);
    text[4] = ':';
    put(5, 2, fields.wMonth);
    text[7] = ':';
    put(8, 2, fields.wDay);
    text[10] = ' ';
    put(11, 2, fields.wHour);
    text[13] = ':';
    put(14, 2, fields.wMinute);
    text[16] = ':';
    put(17, 2, fields.wSecond);
    return text;
}

}  // namespace pixelfold
