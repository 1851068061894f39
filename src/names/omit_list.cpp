#include "omit_list.h"

#include "case_map.h"
#include "statement/text.h"

namespace scrivane {

namespace {

std::uint64_t lengthBit(std::size_t n)
{
    return std::uint64_t(1) << (n < 63 ? n : 63);
}

} // namespace

OmitList::OmitList(std::string_view words, Charset charset)
    : charset_(charset)
    , lowered_(CaseMap(charset).lowerText(textInCharset(words, charset)))
{
    std::string_view rest = lowered_;
    for (;;) {
        std::size_t space = rest.find(' ');
        std::string_view piece = rest.substr(0, space);
        pieces_.insert(piece);
        lengths_ |= lengthBit(piece.size());
        if (space == std::string_view::npos)
            break;
        rest.remove_prefix(space + 1);
    }
}

bool OmitList::contains(std::string_view word) const
{
    if (isAscii(word)) {
        if (!(lengths_ & lengthBit(word.size())))
            return false;
        probe_.assign(word);
        for (char& c : probe_)
            c = asciiLower(c);
        return pieces_.contains(probe_);
    }
    // Beyond ASCII a letter may change its length in lower case (UTF-8).
    probe_ = CaseMap(charset_).lowerText(word);
    return pieces_.contains(probe_);
}

} // namespace scrivane
