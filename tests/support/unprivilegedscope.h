#pragma once

#include <unistd.h>

namespace zd::test {

// Runs a block as an ordinary user when the tests run as root, so that file
// permissions bite as they do for users. Restores the identity on the way out.
class UnprivilegedScope {
public:
    static constexpr uid_t kNobody = 65534;

    UnprivilegedScope()
    {
        if (geteuid() != 0) {
            m_permissionsApply = true;
            return;
        }
        m_switched = setegid(kNobody) == 0 && seteuid(kNobody) == 0;
        if (!m_switched)
            restore();
        m_permissionsApply = m_switched;
    }
    ~UnprivilegedScope()
    {
        if (m_switched)
            restore();
    }
    UnprivilegedScope(const UnprivilegedScope&) = delete;
    UnprivilegedScope& operator=(const UnprivilegedScope&) = delete;

    // False when permissions cannot be made to apply (root that cannot drop them).
    bool permissionsApply() const { return m_permissionsApply; }

private:
    static void restore()
    {
        [[maybe_unused]] const int uid = seteuid(0);
        [[maybe_unused]] const int gid = setegid(0);
    }

    bool m_switched = false;
    bool m_permissionsApply = false;
};

}  // namespace zd::test
