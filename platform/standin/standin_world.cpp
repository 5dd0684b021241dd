#include "platform/standin/standin_world.h"

#include <sstream>

namespace lsscreens::standin {

namespace {

std::unique_ptr<World>& currentWorld()
{
    static std::unique_ptr<World> instance = std::make_unique<World>();
    return instance;
}

}  // namespace

World& world() { return *currentWorld(); }
void resetWorld() { currentWorld() = std::make_unique<World>(); }

std::size_t World::countCalls(const std::string& prefix) const
{
    std::size_t count = 0;
    for (const auto& call : calls_)
        count += call.starts_with(prefix) ? 1 : 0;
    return count;
}

CFOwned World::createObject(Value value)
{
    ++dictionariesCreated_;
    return objects_.add(std::move(value));
}

void World::releaseObject(CFTypeRef object)
{
    if (!objects_.release(object))
        faults_.push_back("CFRelease of an object not held");
}

void World::releaseHandle(io_object_t handle)
{
    if (!handles_.release(handle))
        faults_.push_back("IOObjectRelease(" + std::to_string(handle) + ") of a handle not held");
}

bool World::balanced() const
{
    return faults_.empty() && objects_.size() == 0 && handles_.outstanding() == 0;
}

std::string World::ledgerReport() const
{
    std::ostringstream report;
    for (const auto& fault : faults_)
        report << fault << "\n";
    report << objects_.size() << " dictionaries not released\n";
    for (const auto& [handle, references] : handles_.references()) {
        if (references != 0)
            report << "handle " << handle << " held " << references << " times\n";
    }
    return report.str();
}

}  // namespace lsscreens::standin
