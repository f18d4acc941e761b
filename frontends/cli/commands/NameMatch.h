#pragma once

#include <string>
#include <vector>

namespace oskel::cli {

// One item a command-line name may choose: the names it answers to, as
// bytes (file name and display name in the folder; display name, camera name
// and "#slot" in the camera) and as shown (the same through the readable
// text), and how it is described to the user.
struct NameCandidate {
    std::vector<std::string> keys;
    std::string label;
    std::vector<std::string> shown;
};

// The items a name matches: those with a key equal to its bytes; when none,
// those with a shown text equal to it; when none, those with a key or shown
// text equal to it apart from the case of ASCII letters. Trailing blanks of
// keys and names are ignored.
std::vector<int> MatchName(const std::string& name, const std::vector<NameCandidate>& items);

// Chooses an item for each name (MatchName), without regard to order or
// repetition. A name that matches nothing, or
// several items, is an error naming the candidates (`what` names the place:
// "in the folder", "in the camera"; `hint` tells how to name one of several).
// On success `chosen` holds the item indexes, ascending, each once.
bool MatchNames(const std::vector<std::string>& names, const std::vector<NameCandidate>& items,
                const std::string& what, const std::string& hint, std::vector<int>* chosen, std::string* error);

} // namespace oskel::cli
