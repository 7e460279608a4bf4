#pragma once

#include <QDialog>

#include <memory>
#include <vector>

namespace zpak::ui {

class WizardPage;
class WizardSheet;

struct PageInfo {
    bool created = false;
    bool active = false;  // on display; at most one page is
    int id = 0;
    WizardPage* page = nullptr;  // owned through the frame, its parent widget
    WizardSheet* sheet = nullptr;
};

// A dialog that shows one of its pages at a time, all in one frame.
class WizardSheet : public QDialog {
    Q_OBJECT

public:
    explicit WizardSheet(QWidget* parent = nullptr);
    ~WizardSheet() override;

    // Creates the page and places it, hidden, in the frame.
    PageInfo* AddPage(int id);
    // Hides the page on display and shows page `id` (none for an unknown id).
    void SetActivePage(int id);
    PageInfo* GetActivePage() const;
    PageInfo* FindPage(int id) const;
    const std::vector<std::unique_ptr<PageInfo>>& Pages() const { return pages_; }

protected:
    virtual WizardPage* CreatePage(int id) = 0;
    virtual void OnPageShown(int id, bool shown) = 0;

    // Where pages are placed; the subclass puts it into its layout.
    QWidget* Frame() const { return frame_; }

private:
    QWidget* frame_;
    std::vector<std::unique_ptr<PageInfo>> pages_;
};

}  // namespace zpak::ui
