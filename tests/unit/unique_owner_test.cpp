#include "platform/unique_owner.h"

#include <gtest/gtest.h>

#include <type_traits>
#include <utility>
#include <vector>

#include "platform/registry_key.h"

namespace velmora::platform {
namespace {

// Handles are ints, -1 is none.  A registry key's traits carry the
// interface it was opened with; an HKEY's or a font's carry nothing.  Both
// kinds note their closes here.
std::vector<int> closed;

struct StatefulTraits {
    using Handle = int;
    static constexpr Handle kNone = -1;
    std::vector<int>* log = nullptr;
    bool IsValid(Handle handle) const { return log != nullptr && handle != kNone; }
    void Close(Handle handle) const { log->push_back(handle); }
};

struct StatelessTraits {
    using Handle = int;
    static constexpr Handle kNone = -1;
    bool IsValid(Handle handle) const { return handle != kNone; }
    void Close(Handle handle) const { closed.push_back(handle); }
};

// A key owned without the interface it came from would never be closed.
static_assert(!std::is_constructible_v<RegistryKey, RegHandle>);
static_assert(!std::is_constructible_v<WideRegistryKey, RegHandle>);

template <typename Traits>
UniqueOwner<Traits> Own(int handle) {
    if constexpr (std::is_same_v<Traits, StatefulTraits>) {
        return UniqueOwner<Traits>(Traits{&closed}, handle);
    } else {
        return UniqueOwner<Traits>(handle);
    }
}

template <typename Traits>
class UniqueOwnerTest : public ::testing::Test {};
using Kinds = ::testing::Types<StatefulTraits, StatelessTraits>;
TYPED_TEST_SUITE(UniqueOwnerTest, Kinds);

TYPED_TEST(UniqueOwnerTest, ClosesEachHandleExactlyOnceWhateverWayItLeaves) {
    closed.clear();
    {
        auto first = Own<TypeParam>(1);
        auto moved(std::move(first));  // the source must not close 1 again
        EXPECT_FALSE(first);
        EXPECT_EQ(moved.get(), 1);

        auto assigned = Own<TypeParam>(2);
        assigned = std::move(moved);  // closes 2, takes 1
        EXPECT_EQ(closed, (std::vector<int>{2}));

        *assigned.put() = 3;  // closes 1 before the opening call writes 3
        EXPECT_EQ(closed, (std::vector<int>{2, 1}));

        auto released = Own<TypeParam>(4);
        EXPECT_EQ(released.release(), 4);  // handed over: never closed here
        EXPECT_FALSE(released);

        auto none = Own<TypeParam>(TypeParam::kNone);  // nothing to close
        assigned.reset(5);                             // closes 3
    }
    EXPECT_EQ(closed, (std::vector<int>{2, 1, 3, 5}));
}

}  // namespace
}  // namespace velmora::platform
