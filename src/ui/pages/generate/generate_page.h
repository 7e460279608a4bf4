#pragma once

#include "generate/resolved_run.h"
#include "ui/app/wizard_page.h"

class QCheckBox;
class QRadioButton;

namespace zpak::ui {

// The last page: the package, the manifest pair only, or a zip archive.
class GeneratePage final : public WizardPage {
    Q_OBJECT

public:
    explicit GeneratePage(WizardDialog& wizard);

    void OnSetActive() override;
    void Generate();
    // Every problem and what the player gets, before building.
    void Preview();

private:
    GenerationChoice Choice() const;

    QRadioButton* package_;
    QRadioButton* manifest_;
    QRadioButton* zip_;
    QCheckBox* cleanup_;
};

}  // namespace zpak::ui
