#include "InterruptibleSerialOps.h"

#include "CliInterrupt.h"

namespace oskel::cli {

int InterruptibleSerialOps::OpenPort(int index)
{
    if (Interrupted())
        return 0;
    return m_inner.OpenPort(index);
}

} // namespace oskel::cli
