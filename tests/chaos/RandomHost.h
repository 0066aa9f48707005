// A careless or hostile host: the command, the image record's view and the
// block data for one call, chosen at random, and the registry values it
// forges between calls. Image descriptions may be huge, negative or
// inconsistent; block data always points at a real buffer of at least
// lines × bytesPerLine bytes when both are positive, since no plug-in can
// survive a host that lies about its buffers.
#pragma once

#include "tests/chaos/Sandbox.h"
#include "tests/support/TestSupport.h"

#include <random>
#include <string>
#include <vector>

namespace vlexif::chaos {

struct Call {
    uint32_t command;
    bool staleView;   // the record still holds the previous command's view
    bool noJob;       // the host passes no job record
    bool noImage;     // the job record has no image record
    bool brokenKey;   // the registry path fills its field with no terminator
    bool noParams;    // the host passes no parameter block at all
    std::string note; // what was handed over, for the sequence's log
};

class RandomHost {
public:
    RandomHost(std::mt19937& random, test::HostRecords& records, const test::TestRegistryKey& key,
               const Sandbox& sandbox, bool windowed);

    // Any command, the dialog commands only when windows can open.
    uint32_t PickCommand();
    // Lays out the records for the command. In a job, the image is described
    // again as before, and the records are always fresh and whole.
    Call Prepare(uint32_t command, bool inJob);
    // Puts back what Prepare took away from the records.
    void Restore(const Call& call);
    // Changes one registry value behind the plug-in's back; returns what it did.
    std::string ForgeValue();

private:
    // In a job, a new image is mostly one the plug-in takes, and once
    // described it is described again the same way.
    void Describe(bool inJob, std::string& note);
    void Palette(std::string& note);
    void Block(std::string& note);
    // Points the block view at a fresh buffer of lines × bytesPerLine bytes
    // when both are positive, and notes the view.
    void AttachBlockData(std::string& note);
    bool BlockDataFits() const;
    // True when the record, read as a description, could make a spool file
    // larger than the run should write.
    bool DescriptionTooLarge() const;
    int32_t AnyInt();

    std::mt19937& random;
    test::HostRecords& records;
    const test::TestRegistryKey& key;
    const Sandbox& sandbox;
    bool windowed;
    // The last image described, which consistent blocks follow.
    bool described = false;
    ImageDescription description = {};
    std::vector<uint8_t> blockData;
};

} // namespace vlexif::chaos
