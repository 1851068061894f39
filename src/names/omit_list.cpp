#include "omit_list.h"

#include "statement/text.h"

namespace scrivane {

namespace {

std::uint64_t lengthBit(std::size_t n)
{
    return std::uint64_t(1) << (n < 63 ? n : 63);
}

// FNV-1a: a few instructions a byte, and words are short.
constexpr std::uint64_t fnvBasis = 14695981039346656037ULL;
constexpr std::uint64_t fnvPrime = 1099511628211ULL;

} // namespace

std::size_t OmitList::PieceHash::operator()(std::string_view piece) const
{
    std::uint64_t h = fnvBasis;
    for (char c : piece)
        h = (h ^ static_cast<unsigned char>(c)) * fnvPrime;
    return static_cast<std::size_t>(h);
}

std::size_t OmitList::PieceHash::operator()(const Unfolded& word) const
{
    std::uint64_t h = fnvBasis;
    for (char c : word.text)
        h = (h ^ word.fold->lower[static_cast<unsigned char>(c)]) * fnvPrime;
    return static_cast<std::size_t>(h);
}

bool OmitList::PieceEqual::operator()(std::string_view piece, const Unfolded& word) const
{
    if (piece.size() != word.text.size())
        return false;
    for (std::size_t k = 0; k < piece.size(); ++k) {
        if (static_cast<unsigned char>(piece[k]) != word.fold->lower[static_cast<unsigned char>(word.text[k])])
            return false;
    }
    return true;
}

OmitList::OmitList(std::string_view words, Charset charset)
    : charset_(charset)
    , bytes_(ByteCase::of(charset))
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
    // In ASCII and 1252 every character is one byte and lowers to one byte.
    if (charset_ != Charset::Utf8 || isAscii(word)) {
        if (!(lengths_ & lengthBit(word.size())))
            return false;
        return pieces_.contains(Unfolded {word, &bytes_});
    }
    // Beyond ASCII a UTF-8 letter may change its length in lower case.
    probe_ = CaseMap(charset_).lowerText(word);
    return pieces_.contains(std::string_view(probe_));
}

} // namespace scrivane
