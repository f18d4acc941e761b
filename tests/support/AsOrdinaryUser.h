#pragma once

#include <cstdlib>
#include <sys/types.h>
#include <unistd.h>

namespace oskel::test {

// While it exists, a test run as root acts as the ordinary user "nobody"
// (its effective user), since root reads every folder whatever its mode.
// Does nothing for an ordinary user.
class AsOrdinaryUser {
public:
    AsOrdinaryUser()
    {
        if (geteuid() == 0)
            m_switched = seteuid(kNobody) == 0;
    }
    ~AsOrdinaryUser()
    {
        if (m_switched && seteuid(0) != 0)
            std::abort();
    }
    AsOrdinaryUser(const AsOrdinaryUser&) = delete;
    AsOrdinaryUser& operator=(const AsOrdinaryUser&) = delete;

private:
    static constexpr uid_t kNobody = 65534;
    bool m_switched = false;
};

} // namespace oskel::test
