// DOS wildcard matching as FindFirstFile applies it. Before matching, Windows
// rewrites the mask into its "DOS" wildcards, and those explain the
// surprising cases people rely on:
//   '?'                     DOS_QM: one character, but at a '.' or at the end
//                           of the name a run of them matches nothing, so
//                           "*.mc?" finds "x.mc" as well as "x.mcr";
//   '.' before '?', '*' or the end of the mask
//                           DOS_DOT: a '.' or the end of the name, so "*.*"
//                           and "*." find names without any dot;
//   '*' before '.'          DOS_STAR: any run that does not pass the name's
//                           last '.', so "*.mcr" never finds "a.mcr.bak".
// Letters compare without case, as Windows file names do.

#include <vector>

#include "common/base/text.h"
#include "common/platform/winfs.h"

namespace dravolo {

namespace {

enum class Tok : unsigned char { Literal, Star, DosStar, DosQm, DosDot };

struct Token {
    Tok kind;
    char ch;
};

std::vector<Token> Compile(std::string_view mask) {
    std::vector<Token> out;
    out.reserve(mask.size());
    for (std::size_t i = 0; i < mask.size(); ++i) {
        const char c = mask[i];
        const char next = i + 1 < mask.size() ? mask[i + 1] : '\0';
        if (c == '?') {
            out.push_back({Tok::DosQm, c});
        } else if (c == '*') {
            out.push_back({next == '.' ? Tok::DosStar : Tok::Star, c});
        } else if (c == '.' && (next == '?' || next == '*' || i + 1 == mask.size())) {
            out.push_back({Tok::DosDot, c});
        } else {
            out.push_back({Tok::Literal, c});
        }
    }
    return out;
}

class Matcher {
public:
    Matcher(std::string_view name, const std::vector<Token>& mask)
        : name_(name), mask_(mask), memo_((name.size() + 1) * (mask.size() + 1), kUnknown) {
        const auto dot = name.rfind('.');
        lastDot_ = dot == std::string_view::npos ? name.size() : dot;
    }

    bool Run() { return Match(0, 0); }

private:
    static constexpr unsigned char kUnknown = 2;

    // Memoised so that masks full of '*' stay linear in name x mask.
    bool Match(std::size_t i, std::size_t j) {
        unsigned char& slot = memo_[i * (mask_.size() + 1) + j];
        if (slot != kUnknown) return slot != 0;
        const bool r = Compute(i, j);
        slot = r ? 1 : 0;
        return r;
    }

    bool Compute(std::size_t i, std::size_t j) {
        const std::size_t n = name_.size();
        if (j == mask_.size()) return i == n;
        const Token& t = mask_[j];
        switch (t.kind) {
        case Tok::Star: return Match(i, j + 1) || (i < n && Match(i + 1, j));
        case Tok::DosStar: return Match(i, j + 1) || (i < lastDot_ && Match(i + 1, j));
        case Tok::DosQm:
            if (i < n && name_[i] != '.') return Match(i + 1, j + 1);
            {
                std::size_t k = j;
                while (k < mask_.size() && mask_[k].kind == Tok::DosQm) ++k;
                return Match(i, k);
            }
        case Tok::DosDot:
            if (i == n) return Match(i, j + 1);
            return name_[i] == '.' && Match(i + 1, j + 1);
        case Tok::Literal: return i < n && FoldAnsi(name_[i]) == FoldAnsi(t.ch) && Match(i + 1, j + 1);
        }
        return false;
    }

    std::string_view name_;
    const std::vector<Token>& mask_;
    std::vector<unsigned char> memo_;
    std::size_t lastDot_;
};

}  // namespace

bool MatchesDosMask(std::string_view name, std::string_view mask) {
    if (mask.empty()) return false;
    if (mask == "*" || mask == "*.*") return true;
    // The everyday "*.ext" mask is a suffix test: the suffix holds a dot, so
    // the star can never run past the name's last dot anyway.
    if (mask.size() >= 3 && mask[0] == '*' && mask[1] == '.' && mask.back() != '.' &&
        mask.find_first_of("*?", 1) == std::string_view::npos) {
        const std::string_view suffix = mask.substr(1);
        return name.size() >= suffix.size() && EqualsNoCase(name.substr(name.size() - suffix.size()), suffix);
    }
    const auto tokens = Compile(mask);
    return Matcher(name, tokens).Run();
}

}  // namespace dravolo
