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

enum class Tier { Bytes, Shown, AnyCase };

bool Equal(const std::string& key, const std::string& name, bool ignoreCase)
{
    const std::string k = Trimmed(key);
    return !k.empty() && (ignoreCase ? EqualNoCase(k, name) : k == name);
}

std::vector<int> Matches(const std::string& given, const std::vector<NameCandidate>& items, Tier tier)
{
    const std::string name = Trimmed(given);
    const bool ignoreCase = tier == Tier::AnyCase;
    std::vector<int> found;
    for (size_t i = 0; i < items.size(); ++i) {
        const auto equal = [&](const std::string& key) { return Equal(key, name, ignoreCase); };
        const bool byKey = tier != Tier::Shown && std::any_of(items[i].keys.begin(), items[i].keys.end(), equal);
        const bool byShown = tier != Tier::Bytes && std::any_of(items[i].shown.begin(), items[i].shown.end(), equal);
        if (byKey || byShown)
            found.push_back(static_cast<int>(i));
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

std::vector<int> MatchName(const std::string& name, const std::vector<NameCandidate>& items)
{
    for (const Tier tier : {Tier::Bytes, Tier::Shown, Tier::AnyCase}) {
        std::vector<int> found = Matches(name, items, tier);
        if (!found.empty())
            return found;
    }
    return {};
}

bool MatchNames(const std::vector<std::string>& names, const std::vector<NameCandidate>& items,
                const std::string& what, const std::string& hint, std::vector<int>* chosen, std::string* error)
{
    std::set<int> picked;
    for (const std::string& name : names) {
        const std::vector<int> found = MatchName(name, items);
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
