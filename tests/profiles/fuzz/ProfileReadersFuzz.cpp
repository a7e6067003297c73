// Feeds arbitrary bytes to the FOLDER.DAT and Host.DAT readers. Beyond not crashing, what the
// folder reader could place must write out as a clean file that reads back to the same text, and
// the host reader must account for every byte.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "profiles/FolderTree.h"
#include "profiles/HostFile.h"

using velkin::FolderTree;
using velkin::HostFile;
using velkin::HostRecord;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    const FolderTree tree = FolderTree::fromText(bytes);
    if (tree.nodeCount() < 1 || tree.nodeCount() > FolderTree::kMaxNodes + 1)
        __builtin_trap();
    const std::string written = tree.toText();
    const FolderTree again = FolderTree::fromText(written);
    if (again.problemCount() != 0 || again.toText() != written)
        __builtin_trap();

    const HostFile::Scan scan = HostFile::parse(bytes);
    if (scan.records.size() * HostRecord::kSize + scan.trailingBytes != size ||
        scan.trailingBytes >= HostRecord::kSize)
        __builtin_trap();
    for (const HostRecord& record : scan.records) {
        // A record written back reads as the texts it holds, each cut to its field.
        const std::string recordBytes = record.toBytes();
        if (recordBytes.size() != HostRecord::kSize ||
            HostRecord::fromBytes(recordBytes).isDead() != record.isDead())
            __builtin_trap();
    }
    return 0;
}
