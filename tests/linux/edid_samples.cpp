#include "tests/linux/edid_samples.h"

#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

namespace lsscreens::testing {

std::filesystem::path edidDataDirectory() { return std::filesystem::path(LSSCREENS_TEST_DATA_DIR) / "edid"; }

std::vector<std::uint8_t> readBytes(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + file.string());
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// EXPECTED.tsv: a header line, then file, vendor, product, serial (decimal)
// and name (empty for none), separated by tabs.
const std::vector<EdidSample>& edidSamples()
{
    static const std::vector<EdidSample> samples = [] {
        std::vector<EdidSample> loaded;
        std::ifstream table(edidDataDirectory() / "EXPECTED.tsv");
        std::string line, name;
        std::getline(table, line);
        while (std::getline(table, line)) {
            std::istringstream fields(line);
            EdidSample& sample = loaded.emplace_back();
            std::getline(fields, sample.file, '\t');
            fields >> sample.vendor >> sample.product >> sample.serial;
            fields.get();  // the tab before the name
            if (std::getline(fields, name) && !name.empty())
                sample.name = name;
            sample.bytes = readBytes(edidDataDirectory() / sample.file);
        }
        return loaded;
    }();
    return samples;
}

const EdidSample& edidSample(const std::string& file)
{
    for (const auto& sample : edidSamples())
        if (sample.file == file)
            return sample;
    throw std::runtime_error("no sample " + file);
}

}  // namespace lsscreens::testing
