// The network check and its seam.
#include <gtest/gtest.h>

#include "launcher/update/NetworkState.h"

namespace {

bool NetworkDown() { return false; }

}  // namespace

TEST(NetworkState, SystemAnswerCanBeReplacedAndPutBack) {
    // Wine always reports a LAN connection.
    EXPECT_TRUE(update::IsNetworkUp());
    const update::NetworkCheckFunction system = update::ReplaceNetworkCheck(&NetworkDown);
    EXPECT_FALSE(update::IsNetworkUp());
    EXPECT_EQ(&NetworkDown, update::ReplaceNetworkCheck(system));
    EXPECT_TRUE(update::IsNetworkUp());
}
