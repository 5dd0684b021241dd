// The real monitors' EDIDs in tests/data/edid and what must be read from each
// (EXPECTED.tsv, written from the edid-decode reference by make_expected.py).
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace lsscreens::testing {

struct EdidSample {
    std::string file;  // e.g. "DEL_A056_001.bin"
    std::vector<std::uint8_t> bytes;
    std::uint32_t vendor = 0;
    std::uint32_t product = 0;
    std::uint32_t serial = 0;
    std::optional<std::string> name;
};

std::filesystem::path edidDataDirectory();
const std::vector<EdidSample>& edidSamples();
const EdidSample& edidSample(const std::string& file);
std::vector<std::uint8_t> readBytes(const std::filesystem::path& file);

}  // namespace lsscreens::testing
