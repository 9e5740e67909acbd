#include "platform/rtf/RtfTokenizer.h"

#include "platform/rtf/RtfKeywords.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace {

constexpr long long kNumberCap = 1LL << 40; // digits beyond it change nothing
constexpr std::ptrdiff_t kMaxWord = 32;

enum CharClass : std::uint8_t { Letter = 1, Digit = 2, TextEnd = 4, Unprintable = 8 };

// Bytes that end a run of text, letters and digits of control words, bytes that are not
// printable ASCII.
constexpr std::array<std::uint8_t, 256> kClass = [] {
    std::array<std::uint8_t, 256> classes{};
    for (int c = 0; c < 256; ++c)
        classes[c] = c < 0x20 || c >= 0x7F ? Unprintable : 0;
    for (int c = 'a'; c <= 'z'; ++c)
        classes[c] = classes[c - 'a' + 'A'] = Letter;
    for (int c = '0'; c <= '9'; ++c)
        classes[c] = Digit;
    for (const char c : {'\\', '{', '}'})
        classes[static_cast<unsigned char>(c)] = TextEnd;
    for (const char c : {'\r', '\n'})
        classes[static_cast<unsigned char>(c)] = TextEnd | Unprintable;
    return classes;
}();

bool IsLetter(unsigned char c) {
    return kClass[c] == Letter;
}

bool IsDigit(unsigned char c) {
    return kClass[c] == Digit;
}

int HexValue(unsigned char c) {
    if (IsDigit(c))
        return c - '0';
    const unsigned char lower = c | 0x20;
    return lower >= 'a' && lower <= 'f' ? lower - 'a' + 10 : -1;
}

} // namespace

RtfTokenizer::RtfTokenizer(const char *data, std::size_t size)
    : m_p(reinterpret_cast<const unsigned char *>(data))
    , m_end(m_p + size)
    , m_groupStart(m_p) {}

RtfTokenizer::Token RtfTokenizer::Next() {
    while (m_p < m_end) {
        const unsigned char c = *m_p;
        if (!(kClass[c] & TextEnd)) {
            const unsigned char *start = m_p;
            std::uint8_t seen = 0;
            for (; m_p < m_end && !(kClass[*m_p] & TextEnd); ++m_p)
                seen |= kClass[*m_p];
            Token token;
            token.kind = Kind::Text;
            token.text = {reinterpret_cast<const char *>(start),
                          static_cast<std::size_t>(m_p - start)};
            token.printable = !(seen & Unprintable);
            return token;
        }
        ++m_p;
        switch (c) {
        case '{': {
            m_groupStart = m_p;
            Token token;
            token.kind = Kind::GroupOpen;
            return token;
        }
        case '}': {
            Token token;
            token.kind = Kind::GroupClose;
            return token;
        }
        case '\\':
            if (m_p < m_end)
                return ControlSequence();
            break;
        default:
            break; // a line end
        }
    }
    return {};
}

RtfTokenizer::Token RtfTokenizer::ControlSequence() {
    Token token;
    if (!IsLetter(*m_p)) {
        token.symbol = *m_p++;
        if (token.symbol == '\'') {
            token.kind = Kind::Hex;
            token.param = -1;
            if (m_end - m_p >= 2) {
                const int high = HexValue(m_p[0]);
                const int low = HexValue(m_p[1]);
                if (high >= 0 && low >= 0)
                    token.param = high * 16 + low;
                m_p += 2;
            } else {
                m_p = m_end;
            }
            return token;
        }
        token.kind = Kind::ControlSymbol;
        if (token.symbol == '*') {
            const unsigned char *q = m_p - 2;
            while (q > m_groupStart && (q[-1] == ' ' || q[-1] == '\r' || q[-1] == '\n'))
                --q;
            token.atGroupStart = q == m_groupStart;
        }
        return token;
    }
    token.kind = Kind::ControlWord;
    // The word is read where it stands; only its first 32 letters count.
    const unsigned char *word = m_p;
    std::uint32_t hash = 0;
    for (; m_p < m_end && IsLetter(*m_p); ++m_p)
        if (m_p - word < kMaxWord)
            hash = RtfKeywords::HashStep(hash, *m_p);
    token.text = {reinterpret_cast<const char *>(word),
                  static_cast<std::size_t>(std::min<std::ptrdiff_t>(m_p - word, kMaxWord))};
    token.wordHash = hash;
    bool negative = false;
    if (m_p + 1 < m_end && *m_p == '-' && IsDigit(m_p[1])) {
        negative = true;
        ++m_p;
    }
    long long value = 0;
    while (m_p < m_end && IsDigit(*m_p)) {
        token.hasParam = true;
        value = std::min(value * 10 + (*m_p - '0'), kNumberCap);
        ++m_p;
    }
    if (m_p < m_end && *m_p == ' ')
        ++m_p;
    token.param =
        static_cast<int>(std::clamp(negative ? -value : value, -2147483647LL, 2147483647LL));
    return token;
}

void RtfTokenizer::SkipGroup() {
    std::size_t depth = 1;
    while (m_p < m_end) {
        // Only braces and backslashes matter here.
        const auto *special = std::find_if(
            m_p, m_end, [](unsigned char c) { return c == '{' || c == '}' || c == '\\'; });
        m_p = special;
        if (m_p == m_end)
            return;
        const unsigned char c = *m_p++;
        if (c == '{') {
            ++depth;
        } else if (c == '}') {
            if (--depth == 0)
                return;
        } else if (m_end - m_p >= 3 && std::memcmp(m_p, "bin", 3) == 0 &&
                   (m_p + 3 == m_end || !IsLetter(m_p[3]))) {
            // \binN: N raw bytes that may hold braces.
            m_p += 3;
            const bool negative = m_p < m_end && *m_p == '-';
            if (negative)
                ++m_p;
            long long count = 0;
            while (m_p < m_end && IsDigit(*m_p))
                count = std::min(count * 10 + (*m_p++ - '0'), kNumberCap);
            if (m_p < m_end && *m_p == ' ')
                ++m_p;
            if (!negative)
                TakeBinary(count);
        } else if (m_p < m_end) {
            ++m_p; // the escaped character, or the first letter of a word
        }
    }
}

std::string_view RtfTokenizer::TakeBinary(long long count) {
    const auto available = static_cast<std::size_t>(std::min<long long>(count, m_end - m_p));
    const std::string_view bytes(reinterpret_cast<const char *>(m_p), available);
    m_p += available;
    return bytes;
}
