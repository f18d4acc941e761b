#include "app/SingleInstance.h"

namespace oskel {

CSingleInstance::CSingleInstance(const std::string& name)
    : m_name(name)
    , m_lock(ProcessLockPath(name))
{
}

bool CSingleInstance::Check()
{
    ProcessLock::Result result = m_lock.TryAcquire();
    m_failed = result == ProcessLock::Result::Failed;
    return result == ProcessLock::Result::Acquired;
}

} // namespace oskel
