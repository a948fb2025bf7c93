// The framework's internal message: window groups that share their enabled
// state and their active look, and owner-draw reflection.
#include <gtest/gtest.h>

#include <vector>

#include "lib/wfc/Framework.h"
#include "lib/wfc/InternalMessage.h"
#include "tests/lib/wfc/WfcTestSupport.h"

namespace {

using namespace lib::wfc;

class GroupWindow : public test::TestWindow {
public:
    bool OnNcActivate(bool active) override {
        ncActivations.push_back(active);
        return CWindow::OnNcActivate(active);
    }
    bool OnReflectedDrawItem(DRAWITEMSTRUCT* draw) override {
        reflected = draw;
        return true;
    }
    LRESULT Command(InternalCommand command, LPARAM lParam) {
        return SendMessage(GetInternalMessage(), command, lParam);
    }
    template <typename Record>
    LRESULT Command(InternalCommand command, Record* record) {
        return Command(command, reinterpret_cast<LPARAM>(record));
    }

    std::vector<bool> ncActivations;
    DRAWITEMSTRUCT* reflected = nullptr;
};

TEST(WindowGroup, EnablingTheLeaderEnablesTheMembersStillInTheGroup) {
    GroupWindow leader, first, second;
    for (GroupWindow* window : {&leader, &first, &second}) window->CreatePopup();
    leader.Command(kAddToGroup, reinterpret_cast<LPARAM>(first.GetHandle()));
    leader.Command(kAddToGroup, reinterpret_cast<LPARAM>(second.GetHandle()));

    ::EnableWindow(leader.GetHandle(), FALSE);
    EXPECT_FALSE(::IsWindowEnabled(first.GetHandle()));
    EXPECT_FALSE(::IsWindowEnabled(second.GetHandle()));

    leader.Command(kRemoveFromGroup, reinterpret_cast<LPARAM>(first.GetHandle()));
    leader.Command(kGroupEnable, TRUE);
    EXPECT_FALSE(::IsWindowEnabled(first.GetHandle()));
    EXPECT_TRUE(::IsWindowEnabled(second.GetHandle()));
}

TEST(WindowGroup, ActivationMovingWithinTheGroupKeepsEveryMemberLookingActive) {
    GroupWindow leader, member, outsider;
    for (GroupWindow* window : {&leader, &member, &outsider}) window->CreatePopup();
    leader.Command(kAddToGroup, reinterpret_cast<LPARAM>(member.GetHandle()));
    leader.ncActivations.clear();
    member.ncActivations.clear();

    leader.SendMessage(WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(member.GetHandle()));
    EXPECT_EQ(std::vector<bool>{true}, member.ncActivations);
    EXPECT_TRUE(leader.ncActivations.at(0));

    leader.ncActivations.clear();
    member.ncActivations.clear();
    leader.SendMessage(WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(outsider.GetHandle()));
    EXPECT_EQ(std::vector<bool>{false}, member.ncActivations);
    EXPECT_FALSE(leader.ncActivations.at(0));
}

TEST(WindowGroup, OwnerDrawIsReflectedToTheItemsWindow) {
    GroupWindow window;
    window.CreatePopup();
    DRAWITEMSTRUCT draw{};
    ReflectedMessage drawItem{WM_DRAWITEM, 3, reinterpret_cast<LPARAM>(&draw)};
    EXPECT_EQ(1, window.Command(kReflectOwnerDraw, &drawItem));
    EXPECT_EQ(&draw, window.reflected);

    MEASUREITEMSTRUCT measure{};
    ReflectedMessage measureItem{WM_MEASUREITEM, 3, reinterpret_cast<LPARAM>(&measure)};
    EXPECT_EQ(0, window.Command(kReflectOwnerDraw, &measureItem));
    ReflectedMessage other{WM_COMMAND, 3, 0};
    EXPECT_EQ(0, window.Command(kReflectOwnerDraw, &other));
    EXPECT_EQ(0, window.Command(kReflectOwnerDraw, LPARAM{0}));
}

}  // namespace
