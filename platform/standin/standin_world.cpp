#include "platform/standin/standin_world.h"

#include <sstream>

namespace lsscreens::standin {

namespace {

std::unique_ptr<World>& currentWorld()
{
    static std::unique_ptr<World> instance = std::make_unique<World>();
    return instance;
}

constexpr io_service_t firstServiceHandle = 0x1000;

}  // namespace

World& world() { return *currentWorld(); }
void resetWorld() { currentWorld() = std::make_unique<World>(); }

io_service_t World::serviceHandle(std::size_t index)
{
    return firstServiceHandle + static_cast<io_service_t>(index);
}

std::size_t World::countCalls(const std::string& prefix) const
{
    std::size_t count = 0;
    for (const auto& call : calls_)
        count += call.starts_with(prefix) ? 1 : 0;
    return count;
}

CFOwned World::createObject(Value value)
{
    auto object = std::make_unique<Value>(std::move(value));
    CFTypeRef reference = object.get();
    liveObjects_.emplace(reference, std::move(object));
    ++dictionariesCreated_;
    return CFOwned(reference);
}

void World::releaseObject(CFTypeRef object)
{
    if (liveObjects_.erase(object) == 0)
        faults_.push_back("CFRelease of an object not held");
}

io_object_t World::obtain(io_object_t handle)
{
    ++handleReferences_[handle];
    ++handlesObtained_;
    return handle;
}

void World::releaseHandle(io_object_t handle)
{
    auto found = handleReferences_.find(handle);
    if (found == handleReferences_.end() || found->second == 0) {
        faults_.push_back("IOObjectRelease(" + std::to_string(handle) + ") of a handle not held");
        return;
    }
    --found->second;
}

io_iterator_t World::newIterator()
{
    const io_iterator_t iterator = nextIterator_++;
    iteratorPositions_[iterator] = 0;
    return obtain(iterator);
}

io_object_t World::next(io_iterator_t iterator)
{
    auto found = iteratorPositions_.find(iterator);
    if (found == iteratorPositions_.end()) {
        faults_.push_back("IOIteratorNext on an unknown iterator");
        return 0;
    }
    if (found->second >= services.size())
        return 0;
    return obtain(serviceHandle(found->second++));
}

bool World::balanced() const
{
    if (!faults_.empty() || !liveObjects_.empty())
        return false;
    for (const auto& [handle, references] : handleReferences_) {
        if (references != 0)
            return false;
    }
    return true;
}

std::string World::ledgerReport() const
{
    std::ostringstream report;
    for (const auto& fault : faults_)
        report << fault << "\n";
    report << liveObjects_.size() << " dictionaries not released\n";
    for (const auto& [handle, references] : handleReferences_) {
        if (references != 0)
            report << "handle " << handle << " held " << references << " times\n";
    }
    return report.str();
}

}  // namespace lsscreens::standin
