// RegexMatcher: runs one regular expression over a GBK subject and hands out the matches.
#pragma once

#include "text/text.h"

#include <memory>

namespace fundlens {

// ECMAScript-style dialect on PCRE2 (UTF mode, JIT). Pattern and subject are GBK; matching
// works on characters. By default case is ignored, ^ and $ match at every line, and every
// non-overlapping match is found. "." never matches CR or LF; "\w" is ASCII only.
// Indexes are 1-based. Failure is a value: false, 0 or an empty text.
class RegexMatcher {
public:
    RegexMatcher();
    ~RegexMatcher();
    RegexMatcher(const RegexMatcher&);
    RegexMatcher& operator=(const RegexMatcher&);
    RegexMatcher(RegexMatcher&&) noexcept;
    RegexMatcher& operator=(RegexMatcher&&) noexcept;

    // Compiles `pattern` and runs it over `subject`. With quotePlaceholder every "#引号" in
    // the pattern stands for a double quote. False for an invalid pattern; true also when
    // nothing matched.
    bool Create(const Text& pattern, const Text& subject, bool caseSensitive = false,
                bool multiline = true, bool global = true, bool quotePlaceholder = false);

    // The pattern as used (placeholders replaced); empty before the first Create.
    Text GetPattern() const;

    // The subject with the matches replaced ("$1".."$99" for groups, "$&" whole match,
    // "$`" / "$'" the text before / after it, "$$" a dollar). The kept subject is not
    // changed. Empty before the first Create and after a failed one.
    Text Replace(const Text& replacement) const;

    int MatchCount() const;

    // Text of match `index`; `position` (when given) receives its exact 0-based byte offset
    // in the GBK subject, or -2 when there is no such match.
    Text MatchText(int index, int* position = nullptr) const;

    // Text of capture group `group` of match `index`; empty when either is missing or the
    // group did not take part. `position` as for MatchText (the group's own offset; -2 when
    // it did not take part).
    Text SubMatchText(int index, int group, int* position = nullptr) const;

    // Number of capture groups of the first match; 0 when nothing matched.
    int SubMatchCount() const;

private:
    struct State;
    std::shared_ptr<const State> m_state;
};

} // namespace fundlens
