#include "tests/linux/edid_samples.h"

#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

namespace lsscreens::testing {

std::filesystem::path edidDataDirectory()
{
    return std::filesystem::path(LSSCREENS_TEST_DATA_DIR) / "edid";
}

std::vector<std::uint8_t> readBytes(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + file.string());
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

const std::vector<EdidSample>& edidSamples()
{
    static const std::vector<EdidSample> samples = [] {
        std::vector<EdidSample> loaded;
        std::ifstream table(edidDataDirectory() / "EXPECTED.tsv");
        std::string line;
        std::getline(table, line);  // header
        while (std::getline(table, line)) {
            std::istringstream fields(line);
            EdidSample sample;
            std::string vendor, product, serial, name;
            std::getline(fields, sample.file, '\t');
            std::getline(fields, vendor, '\t');
            std::getline(fields, product, '\t');
            std::getline(fields, serial, '\t');
            std::getline(fields, name);
            sample.vendor = static_cast<std::uint32_t>(std::stoul(vendor));
            sample.product = static_cast<std::uint32_t>(std::stoul(product));
            sample.serial = static_cast<std::uint32_t>(std::stoul(serial));
            if (!name.empty())
                sample.name = name;
            sample.bytes = readBytes(edidDataDirectory() / sample.file);
            loaded.push_back(std::move(sample));
        }
        return loaded;
    }();
    return samples;
}

const EdidSample& edidSample(const std::string& file)
{
    for (const auto& sample : edidSamples()) {
        if (sample.file == file)
            return sample;
    }
    throw std::runtime_error("no sample " + file);
}

}  // namespace lsscreens::testing
