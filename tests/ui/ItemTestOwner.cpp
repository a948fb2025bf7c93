#include "tests/ui/ItemTestOwner.h"

namespace skintest {

ItemTestOwner::ItemTestOwner(int width, int height) {
    buffer.Create(nullptr, width, height);
    buffer.Fill(0);
}

void ItemTestOwner::RedrawRect(const RECT& rect, bool) { redraws.push_back(rect); }

bool ItemTestOwner::NotifyCommand(int id, int code) {
    notifications.emplace_back(id, code);
    return handledCodes.count(code) != 0;
}

std::vector<int> ItemTestOwner::TakeCodes() {
    std::vector<int> codes;
    for (const auto& [id, code] : notifications) codes.push_back(code);
    notifications.clear();
    return codes;
}

COLORREF ItemTestOwner::Pixel(int x, int y) const {
    const BYTE* pixel = buffer.Row(y) + x * 3;
    return RGB(pixel[2], pixel[1], pixel[0]);
}

}  // namespace skintest
