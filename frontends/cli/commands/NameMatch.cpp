#include "commands/NameMatch.h"

#include <algorithm>
#include <set>

namespace oskel::cli {
namespace {

std::string Trimmed(const std::string& text)
{
    const size_t end = text.find_last_not_of(' ');
    return end == std::string::npos ? std::string() : text.substr(0, end + 1);
}

bool EqualNoCase(const std::string& a, const std::string& b)
{
    auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) {
               return lower(static_cast<unsigned char>(x)) == lower(static_cast<unsigned char>(y));
           });
}

std::vector<int> Matches(const std::string& given, const std::vector<NameCandidate>& items, bool ignoreCase)
{
    const std::string name = Trimmed(given);
    std::vector<int> found;
    for (size_t i = 0; i < items.size(); ++i) {
        for (const std::string& key : items[i].keys) {
            const std::string k = Trimmed(key);
            if (!k.empty() && (ignoreCase ? EqualNoCase(k, name) : k == name)) {
                found.push_back(static_cast<int>(i));
                break;
            }
        }
    }
    return found;
}

std::string Labels(const std::vector<NameCandidate>& items, const std::vector<int>& which)
{
    std::string text;
    for (const int i : which)
        text += "\n  " + items[i].label;
    return text;
}

} // namespace

bool MatchNames(const std::vector<std::string>& names, const std::vector<NameCandidate>& items,
                const std::string& what, const std::string& hint, std::vector<int>* chosen, std::string* error)
{
    std::set<int> picked;
    for (const std::string& name : names) {
        std::vector<int> found = Matches(name, items, false);
        if (found.empty())
            found = Matches(name, items, true);
        if (found.size() == 1) {
            picked.insert(found.front());
            continue;
        }
        if (found.empty()) {
            std::vector<int> all(items.size());
            for (size_t i = 0; i < all.size(); ++i)
                all[i] = static_cast<int>(i);
            *error = "no application " + what + " is called \"" + name + "\"";
            *error += items.empty() ? " (there are none)" : "; there are:" + Labels(items, all);
        } else {
            *error = "\"" + name + "\" names " + std::to_string(found.size()) + " applications " + what + ":" +
                     Labels(items, found);
            if (!hint.empty())
                *error += "\n" + hint;
        }
        return false;
    }
    chosen->assign(picked.begin(), picked.end());
    return true;
}

} // namespace oskel::cli
