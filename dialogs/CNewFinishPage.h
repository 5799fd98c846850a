#pragma once

#include <QWizardPage>

// The last page of the new-catalog wizard: what the user does next. The finish button reads "完了".
class CNewFinishPage final : public QWizardPage {
    Q_OBJECT
public:
    explicit CNewFinishPage(QWidget* parent = nullptr);

    void initializePage() override;
};
