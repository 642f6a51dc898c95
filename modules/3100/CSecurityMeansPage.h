#pragma once
#include "CExTabPage.h"

class CTVPB3100;
class QRadioButton;

// Page 3130 "이체수단변경": the security means as two radio buttons ("S"
// security card, "K" certificate; any other means checks neither), a guide
// beside each, and 저장 (PDA_I005), after which the user record holds the new
// means for every module's security step.
class CSecurityMeansPage : public CExTabPage {
    Q_OBJECT
public:
    enum { IDD = 3130 };
    explicit CSecurityMeansPage(CTVPB3100* screen);
    ~CSecurityMeansPage() override;

    QRadioButton* CardRadio() const { return card_; }
    QRadioButton* CertRadio() const { return cert_; }

public slots:
    void OnSave();
    void OnCardGuide();
    void OnCertGuide();

protected:
    BOOL OnInitDialog() override;

private:
    CTVPB3100* screen_;
    QRadioButton* card_ = nullptr;
    QRadioButton* cert_ = nullptr;
};
