// The command line as the first instance receives it: the 256-byte hand-over block a later
// start fills (the first 256 input bytes), which may name a hand-over file (the rest of the
// input), and then the reading of the line into options and file arguments.
#include "core/CommandLineOptions.h"
#include "fuzz/FuzzSupport.h"
#include "shell/InstanceObjects.h"
#include "shell/SharedCmdLine.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

// Kept for the whole run: the exit handler that removes the objects still needs the names.
const shell::InstanceNames& Names() {
    static const shell::InstanceNames* const names = [] {
        auto* made = new shell::InstanceNames(
            shell::MakeInstanceNames("fuzz", fuzzsupport::ScratchFolder()));
        shell::RemoveInstanceObjects(*made);
        std::atexit([] { shell::RemoveInstanceObjects(Names()); });
        return made;
    }();
    return *names;
}

CSharedCmdLine& Block() {
    static CSharedCmdLine block;
    static const bool created = block.Create(Names(), true);
    if (!created)
        std::abort();
    return block;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CSharedCmdLine& block = Block();
    const std::size_t inBlock = std::min(size, CSharedCmdLine::kBlockSize);
    // The block is shared memory another process writes; this target plays that process.
    auto* view = const_cast<unsigned char*>(block.View());
    std::memset(view, 0, CSharedCmdLine::kBlockSize);
    std::memcpy(view, data, inBlock);
    fuzzsupport::WriteScratchFile(Names().strHandOverPrefix + "fuzz",
                                  fuzzsupport::AsText(data + inBlock, size - inBlock));
    const std::string line = block.Take();
    (void)core::ParseCommandLine(line);
    return 0;
}
