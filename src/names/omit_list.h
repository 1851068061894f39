#pragma once

#include "case_map.h"
#include "statement/statement_form.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_set>

namespace scrivane {

// The words a user asked to drop from names. A word is on the list when
// " " + word + " " stands in " " + list + " ", letter case ignored. A word holds
// no space, so that is the same as being one of the pieces between single spaces
// of the list in lower case (empty pieces included): a set of those pieces answers
// in constant time however long the list is.
class OmitList
{
public:
    // words as the user stored them (UTF-8); charset is the statement's.
    OmitList(std::string_view words, Charset charset);

    bool contains(std::string_view word) const;

private:
    // A word as it stands, to be compared in lower case byte by byte.
    struct Unfolded
    {
        std::string_view text;
        const ByteCase* fold;
    };
    // Hashes a piece and a word lowered on the fly alike, so that a word is looked
    // up without a lowered copy of it.
    struct PieceHash
    {
        using is_transparent = void;
        std::size_t operator()(std::string_view piece) const;
        std::size_t operator()(const Unfolded& word) const;
    };
    struct PieceEqual
    {
        using is_transparent = void;
        bool operator()(std::string_view a, std::string_view b) const { return a == b; }
        bool operator()(std::string_view piece, const Unfolded& word) const;
        bool operator()(const Unfolded& word, std::string_view piece) const { return (*this)(piece, word); }
    };

    Charset charset_;
    const ByteCase& bytes_;
    std::string lowered_; // the list in the statement's charset, in lower case
    std::unordered_set<std::string_view, PieceHash, PieceEqual> pieces_; // views into lowered_
    // Bit n set when some piece is n bytes long (n < 64), bit 63 for the longer
    // ones. A word keeps its length in lower case byte by byte, so most words are
    // turned away by their length alone.
    std::uint64_t lengths_ = 0;
    mutable std::string probe_;
};

} // namespace scrivane
