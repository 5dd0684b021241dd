// The real monitors' EDIDs in tests/data/edid and what must be read from each:
// EXPECTED.tsv, written from the edid-decode reference by make_expected.py,
// has a header line, then file, vendor, product, serial, image width and
// height in mm (decimal) and name (empty for none), separated by tabs.
#pragma once

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace lsscreens::testing {

struct EdidSample {
    std::string file;  // e.g. "DEL_A056_001.bin"
    std::vector<std::uint8_t> bytes;
    std::uint32_t vendor = 0, product = 0, serial = 0, mmWidth = 0, mmHeight = 0;
    std::optional<std::string> name;
};

inline const std::vector<EdidSample>& edidSamples()
{
    static const std::vector<EdidSample> samples = [] {
        const std::string directory = LSSCREENS_TEST_DATA_DIR "/edid/";
        std::vector<EdidSample> loaded;
        std::ifstream table(directory + "EXPECTED.tsv");
        std::string line, name;
        if (!std::getline(table, line))  // the header
            throw std::runtime_error("cannot read " + directory + "EXPECTED.tsv");
        while (std::getline(table, line)) {
            std::istringstream fields(line);
            EdidSample& sample = loaded.emplace_back();
            std::getline(fields, sample.file, '\t');
            fields >> sample.vendor >> sample.product >> sample.serial >> sample.mmWidth >> sample.mmHeight;
            fields.get();  // the tab before the name
            if (std::getline(fields, name) && !name.empty())
                sample.name = name;
            std::ifstream bytes(directory + sample.file, std::ios::binary);
            sample.bytes.assign(std::istreambuf_iterator<char>(bytes), {});
            if (!bytes || sample.bytes.empty())
                throw std::runtime_error("cannot read " + sample.file);
        }
        return loaded;
    }();
    return samples;
}

inline const EdidSample& edidSample(const std::string& file)
{
    for (const auto& sample : edidSamples())
        if (sample.file == file)
            return sample;
    throw std::runtime_error("no sample " + file);
}

// A monitor that identifies nothing: a real EDID, its name kept, with
// manufacturer id and serial number 0.
inline std::vector<std::uint8_t> ghostEdid()
{
    auto bytes = edidSample("LEN_65E0_004.bin").bytes;
    std::fill_n(bytes.begin() + 8, 2, 0);
    std::fill_n(bytes.begin() + 12, 4, 0);
    return bytes;
}

}  // namespace lsscreens::testing
