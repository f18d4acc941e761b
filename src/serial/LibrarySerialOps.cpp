#include "serial/LibrarySerialOps.h"

namespace oskel {
namespace {

template <typename Fn>
Fn As(void* symbol)
{
    return reinterpret_cast<Fn>(symbol);
}

} // namespace

bool LibrarySerialOps::Bind(LibraryLoader& loader, LibraryLoader::Handle library)
{
    std::array<void*, 9> found{};
    for (size_t i = 0; i < kExportNames.size(); ++i) {
        found[i] = loader.Symbol(library, kExportNames[i]);
        if (found[i] == nullptr)
            return false;
    }
    m_exports = found;
    return true;
}

int LibrarySerialOps::OpenPort(int index) { return As<OpenFn>(m_exports[0])(index); }
int LibrarySerialOps::IsPortOpen() { return As<NoArgFn>(m_exports[1])(); }
int LibrarySerialOps::SetBaudRate(int bps) { return As<IntFn>(m_exports[2])(bps); }
int LibrarySerialOps::ClosePort() { return As<NoArgFn>(m_exports[3])(); }

int LibrarySerialOps::WritePort(const uint8_t* bytes, int count, uint32_t* written, int pacing)
{
    return As<WriteFn>(m_exports[4])(bytes, count, written, pacing);
}

int LibrarySerialOps::ReadPort(uint8_t* buffer, int count, uint32_t* read)
{
    return As<ReadFn>(m_exports[5])(buffer, count, read);
}

int LibrarySerialOps::BytesInBuffer(uint32_t* count) { return As<CountFn>(m_exports[6])(count); }
int LibrarySerialOps::ClearBuffers() { return As<NoArgFn>(m_exports[7])(); }
int LibrarySerialOps::DelayCalibrate(int ms) { return As<IntFn>(m_exports[8])(ms); }

} // namespace oskel
