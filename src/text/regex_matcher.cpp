#define PCRE2_CODE_UNIT_WIDTH 8
#include "text/regex_matcher.h"

#include "text/gbk.h"

#include <algorithm>
#include <climits>
#include <pcre2.h>
#include <vector>

namespace fundlens {

namespace {

// Limits that make a runaway pattern fail instead of running for minutes. The match limit
// bounds backtracking per search; depth and heap bound the interpreter, the JIT stack the JIT.
constexpr std::uint32_t MatchLimit = 5'000'000;
constexpr std::uint32_t DepthLimit = 100'000;
constexpr std::uint32_t HeapLimitKiB = 64 * 1024;
constexpr PCRE2_SIZE JitStackStart = 32 * 1024;
constexpr PCRE2_SIZE JitStackMax = 1024 * 1024;

constexpr std::size_t Unset = static_cast<std::size_t>(-1);

// The ECMAScript-style dialect: "[^]" and "[]" as in scripts, \uHHHH and \xHH escapes,
// a backreference to a group that did not take part matches the empty string, "$" without
// multi-line mode only at the very end. "\C" could split a character, so it is refused.
constexpr std::uint32_t DialectOptions = PCRE2_UTF | PCRE2_ALT_BSUX | PCRE2_ALLOW_EMPTY_CLASS |
                                         PCRE2_MATCH_UNSET_BACKREF | PCRE2_DOLLAR_ENDONLY |
                                         PCRE2_NEVER_BACKSLASH_C;

template <typename T, void (*Free)(T*)>
struct PcreDeleter {
    void operator()(T* p) const { Free(p); }
};
using CompileContext =
    std::unique_ptr<pcre2_compile_context,
                    PcreDeleter<pcre2_compile_context, pcre2_compile_context_free>>;
using MatchContext = std::unique_ptr<pcre2_match_context,
                                     PcreDeleter<pcre2_match_context, pcre2_match_context_free>>;
using Code = std::unique_ptr<pcre2_code, PcreDeleter<pcre2_code, pcre2_code_free>>;
using MatchData =
    std::unique_ptr<pcre2_match_data, PcreDeleter<pcre2_match_data, pcre2_match_data_free>>;
using JitStack =
    std::unique_ptr<pcre2_jit_stack, PcreDeleter<pcre2_jit_stack, pcre2_jit_stack_free>>;

// One JIT stack per thread: a stack must never serve two matches at once.
pcre2_jit_stack* ThreadJitStack() {
    thread_local const JitStack stack(pcre2_jit_stack_create(JitStackStart, JitStackMax, nullptr));
    return stack.get();
}

// Offset just after the UTF-8 character that starts at `offset`.
std::size_t NextCharacter(const std::string& utf8, std::size_t offset) {
    ++offset;
    while (offset < utf8.size() && (static_cast<unsigned char>(utf8[offset]) & 0xC0) == 0x80)
        ++offset;
    return offset;
}

int ToPosition(std::size_t offset) {
    return offset <= static_cast<std::size_t>(INT_MAX) ? static_cast<int>(offset) : -2;
}

} // namespace

struct RegexMatcher::State {
    Text pattern;
    Text subject;
    bool ok = false;
    int groups = 0;
    // Per match, (groups + 1) pairs of GBK byte offsets [start, end); Unset for a group
    // that did not take part.
    std::vector<std::size_t> spans;

    std::size_t Stride() const { return (static_cast<std::size_t>(groups) + 1) * 2; }
    std::size_t Count() const { return spans.size() / Stride(); }

    // Span of group `group` (0: the whole match) of the 0-based match; false when absent.
    bool Span(std::size_t match, int group, std::size_t& start, std::size_t& end) const {
        if (match >= Count() || group < 0 || group > groups)
            return false;
        const std::size_t at = match * Stride() + static_cast<std::size_t>(group) * 2;
        start = spans[at];
        end = spans[at + 1];
        return start != Unset;
    }

    Text Look(int index, int group, int* position) const {
        std::size_t start = 0;
        std::size_t end = 0;
        if (index < 1 || !Span(static_cast<std::size_t>(index) - 1, group, start, end)) {
            if (position)
                *position = -2;
            return {};
        }
        if (position)
            *position = ToPosition(start);
        return subject.substr(start, end - start);
    }

    bool Run(const std::string& utf8Pattern, bool caseSensitive, bool multiline, bool global);
    void MapToGbk(const std::string& utf8Subject);
};

bool RegexMatcher::State::Run(const std::string& utf8Pattern, bool caseSensitive, bool multiline,
                              bool global) {
    CompileContext compileContext(pcre2_compile_context_create(nullptr));
    MatchContext matchContext(pcre2_match_context_create(nullptr));
    if (!compileContext || !matchContext)
        return false;
    pcre2_set_newline(compileContext.get(), PCRE2_NEWLINE_ANYCRLF);
    std::uint32_t options = DialectOptions;
    if (!caseSensitive)
        options |= PCRE2_CASELESS;
    if (multiline)
        options |= PCRE2_MULTILINE;
    int errorCode = 0;
    PCRE2_SIZE errorOffset = 0;
    Code code(pcre2_compile(reinterpret_cast<PCRE2_SPTR>(utf8Pattern.data()), utf8Pattern.size(),
                            options, &errorCode, &errorOffset, compileContext.get()));
    if (!code)
        return false;
    // Without JIT support (or when JIT compilation fails) the interpreter runs the pattern.
    const bool jit = pcre2_jit_compile(code.get(), PCRE2_JIT_COMPLETE) == 0;
    if (jit) {
        pcre2_jit_stack* stack = ThreadJitStack();
        if (stack)
            pcre2_jit_stack_assign(matchContext.get(), nullptr, stack);
    }
    pcre2_set_match_limit(matchContext.get(), MatchLimit);
    pcre2_set_depth_limit(matchContext.get(), DepthLimit);
    pcre2_set_heap_limit(matchContext.get(), HeapLimitKiB);

    std::uint32_t captureCount = 0;
    pcre2_pattern_info(code.get(), PCRE2_INFO_CAPTURECOUNT, &captureCount);
    groups = static_cast<int>(captureCount);
    MatchData matchData(pcre2_match_data_create_from_pattern(code.get(), nullptr));
    if (!matchData)
        return false;

    const std::string utf8Subject = gbk::ToUtf8(subject);
    const auto* data = reinterpret_cast<PCRE2_SPTR>(utf8Subject.data());
    const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(matchData.get());
    std::size_t offset = 0;
    while (offset <= utf8Subject.size()) {
        // The subject is our own conversion and always valid UTF-8.
        const int rc = pcre2_match(code.get(), data, utf8Subject.size(), offset, PCRE2_NO_UTF_CHECK,
                                   matchData.get(), matchContext.get());
        if (rc == PCRE2_ERROR_NOMATCH)
            break;
        if (rc < 0)
            return false; // a limit was hit, or another run-time failure
        const std::size_t start = ovector[0];
        const std::size_t end = ovector[1];
        if (end < start)
            return false; // \K inside a look-ahead: no sensible match text
        for (int g = 0; g <= groups; ++g) {
            const bool took = g < rc && ovector[2 * g] != PCRE2_UNSET;
            spans.push_back(took ? ovector[2 * g] : Unset);
            spans.push_back(took ? ovector[2 * g + 1] : Unset);
        }
        if (!global)
            break;
        // After an empty match the search goes on one whole character further, as scripts do.
        offset = end > start                ? end
                 : end < utf8Subject.size() ? NextCharacter(utf8Subject, end)
                                            : utf8Subject.size() + 1;
    }
    MapToGbk(utf8Subject);
    return true;
}

// Turns the UTF-8 offsets of `spans` into byte offsets of the GBK subject, in one walk.
void RegexMatcher::State::MapToGbk(const std::string& utf8Subject) {
    std::vector<std::size_t> keys;
    keys.reserve(spans.size());
    for (std::size_t s : spans) {
        if (s != Unset)
            keys.push_back(s);
    }
    std::sort(keys.begin(), keys.end());
    keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
    std::vector<std::size_t> mapped(keys.size());
    std::size_t g = 0;
    std::size_t u = 0;
    for (std::size_t k = 0; k < keys.size(); ++k) {
        gbk::AdvanceToUtf8Offset(subject, g, u, std::min(keys[k], utf8Subject.size()));
        mapped[k] = g;
    }
    for (std::size_t& s : spans) {
        if (s != Unset)
            s = mapped[static_cast<std::size_t>(std::lower_bound(keys.begin(), keys.end(), s) -
                                                keys.begin())];
    }
}

RegexMatcher::RegexMatcher() = default;
RegexMatcher::~RegexMatcher() = default;
RegexMatcher::RegexMatcher(const RegexMatcher&) = default;
RegexMatcher& RegexMatcher::operator=(const RegexMatcher&) = default;
RegexMatcher::RegexMatcher(RegexMatcher&&) noexcept = default;
RegexMatcher& RegexMatcher::operator=(RegexMatcher&&) noexcept = default;

bool RegexMatcher::Create(const Text& pattern, const Text& subject, bool caseSensitive,
                          bool multiline, bool global, bool quotePlaceholder) {
    auto state = std::make_shared<State>();
    state->pattern = quotePlaceholder ? ReplaceAll(pattern, "#引号"_gbk, "\"") : pattern;
    state->subject = subject;
    const bool ok = state->Run(gbk::ToUtf8(state->pattern), caseSensitive, multiline, global);
    state->ok = ok;
    if (!ok) {
        state->groups = 0;
        state->spans.clear();
    }
    m_state = std::move(state);
    return ok;
}

Text RegexMatcher::GetPattern() const {
    return m_state ? m_state->pattern : Text();
}

Text RegexMatcher::Replace(const Text& replacement) const {
    if (!m_state || !m_state->ok)
        return {};
    const State& s = *m_state;
    const Text& subject = s.subject;
    Text out;
    out.reserve(subject.size());
    std::size_t previous = 0;
    for (std::size_t m = 0; m < s.Count(); ++m) {
        std::size_t start = 0;
        std::size_t end = 0;
        s.Span(m, 0, start, end);
        out.append(subject, previous, start - previous);
        const auto appendGroup = [&](int group) {
            std::size_t gs = 0;
            std::size_t ge = 0;
            if (s.Span(m, group, gs, ge))
                out.append(subject, gs, ge - gs);
        };
        const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
        // '$' is below every GBK trail byte, so a byte scan never splits a character.
        for (std::size_t i = 0; i < replacement.size(); ++i) {
            const char c = replacement[i];
            const char next = i + 1 < replacement.size() ? replacement[i + 1] : '\0';
            if (c != '$' || next == '\0') {
                out += c;
            } else if (next == '$') {
                out += '$';
                ++i;
            } else if (next == '&') {
                appendGroup(0);
                ++i;
            } else if (next == '`') {
                out.append(subject, 0, start);
                ++i;
            } else if (next == '\'') {
                out.append(subject, end, std::string::npos);
                ++i;
            } else if (isDigit(next)) {
                const int one = next - '0';
                const char third = i + 2 < replacement.size() ? replacement[i + 2] : '\0';
                const int two = isDigit(third) ? one * 10 + (third - '0') : 0;
                if (two >= 1 && two <= s.groups) {
                    appendGroup(two);
                    i += 2;
                } else if (one >= 1 && one <= s.groups) {
                    appendGroup(one);
                    ++i;
                } else {
                    out += '$';
                }
            } else {
                out += '$';
            }
        }
        previous = end;
    }
    out.append(subject, previous, std::string::npos);
    return out;
}

int RegexMatcher::MatchCount() const {
    return m_state ? static_cast<int>(std::min<std::size_t>(m_state->Count(), INT_MAX)) : 0;
}

Text RegexMatcher::MatchText(int index, int* position) const {
    if (!m_state) {
        if (position)
            *position = -2;
        return {};
    }
    return m_state->Look(index, 0, position);
}

Text RegexMatcher::SubMatchText(int index, int group, int* position) const {
    if (!m_state || group < 1) {
        if (position)
            *position = -2;
        return {};
    }
    return m_state->Look(index, group, position);
}

int RegexMatcher::SubMatchCount() const {
    return m_state && m_state->Count() > 0 ? m_state->groups : 0;
}

} // namespace fundlens
