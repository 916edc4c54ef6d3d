// Finding the clips of audio CDs and video CDs in CD-ROM drives. A drive root is a device
// ("/dev/sr0", "/dev/sr0/"), the folder a disc is mounted on, or a drive-letter root ("D:\").
// An audio disc's tracks are the paths "<device>/Track01.cda", "<device>/Track02.cda", ...
#pragma once

#include "platform/CdromDrives.h"

#include <string>
#include <vector>

namespace core {

// The roots of the CD-ROM drives, in drive order.
std::vector<std::string> ListCdromDrives(const platform::CdromSources& sources = {});

// The "*.CDA" clips of a drive root in name order (case ignored); empty when there are none.
std::vector<std::string> FindCdClips(const std::string& root,
                                     const platform::CdromSources& sources = {});

// The "*.DAT", "*.MPG" and "*.MEPG" files of the root's MPEGAV folder (not of its
// subfolders) in name order; empty when there are none.
std::vector<std::string> FindVcdClips(const std::string& root,
                                      const platform::CdromSources& sources = {});

struct DiscOpenResult {
    std::vector<std::string> paths; // the clips to open and play; empty when none was found
    std::string drive;              // the drive they came from
    std::string notFoundText;       // the status text to show when paths is empty (English)
};

// Tries the drives in order and takes the clips of the first one that has any.
DiscOpenResult OpenCd(const std::vector<std::string>& drives,
                      const platform::CdromSources& sources = {});
DiscOpenResult OpenVcd(const std::vector<std::string>& drives,
                       const platform::CdromSources& sources = {});

} // namespace core
