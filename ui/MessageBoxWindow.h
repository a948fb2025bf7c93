#pragma once
#include "ui/SkinMessageBox.h"

namespace ui {

// The plain box (MessageBoxWindow.txt): OK 1, Cancel and close 2, Yes 6, No 7, Retry 4.
class CMessageBoxWindow : public CSkinMessageBox {
public:
    explicit CMessageBoxWindow(bool topmost);

protected:
    int ResultOf(int itemId) override;
};

}  // namespace ui
