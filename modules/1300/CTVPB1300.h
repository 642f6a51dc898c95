#pragma once
#include "CModuleFrame.h"

class QTextEdit;

// Module 1300, the enrolment (dialog 1300, caption "신규가입"): the two sets of
// terms and, on agreement, identification ("PDA_D001") and then password
// registration for a branch applicant ("PDA_D002") or registration with an own
// account ("PDA_D003"). However it closes, the start screen follows; a user
// who enrolled is handed over with the new ID.
class CTVPB1300 : public CModuleFrame {
    Q_OBJECT
public:
    enum { IDD = 1300 };
    explicit CTVPB1300(QWidget* parent = nullptr);
    ~CTVPB1300() override;

    bool DestroyWindow() override;
    // The ID registered here; empty when nobody was.
    const QString& RegisteredID() const { return registered_; }

    void LoadInfoFile();
    // One request of the enrolment dialogs; FALSE after its message.
    bool Send(QWidget* window, const QString& query, QString& data);

public slots:
    void OnButtonNewinfo();
    void OnButtonOk();
    void OnButtonCancel();

protected:
    bool OnInitDialog() override;

private:
    QTextEdit* ebTerms_ = nullptr;
    QTextEdit* ibTerms_ = nullptr;
    QString registered_;
    bool posted_ = false;
    // The shell window given at construction (placement may reparent the screen).
    QPointer<QWidget> shell_;
};
