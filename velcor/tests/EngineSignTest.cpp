// Signing through the engine: the prompt, the certificate store under
// $TVPB_HOME/certs and the signed text bankd verifies.
#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "Gateway.h"
#include "IVelcorEngine.h"
#include "ModalScript.h"
#include "Services.h"
#include "TestHome.h"
#include "TestSupport.h"

using namespace velcor;
using velcortest::DeployFile;

namespace {

constexpr std::int64_t kNow = 1718000000;
const QString kCaList = QStringLiteral(
    "yessign,테스트 인증기관,aa,yessignCA-TEST,SignGateFTCA,SignKorea Test CA,SignKorea CA,기업은행 인증기관");

class EngineSignTest : public testing::Test {
protected:
    void SetUp() override
    {
        platform::setClock([] { return QDateTime::fromSecsSinceEpoch(kNow); });
    }

    CertificateInfo issue(const std::string& userId, const std::string& name, const std::string& password)
    {
        const IssuedCertificate c = issueCertificate((harness::testHome() + "/certs").toStdString(), userId, name,
                                                     password, KdfStrength::Minimum);
        EXPECT_TRUE(c.ok) << c.reason;
        return c.info;
    }

    QString sessionKey()
    {
        return engine->encrypt(gate, QStringLiteral("/off"), QStringLiteral("x"), QStringLiteral("GET")).left(44);
    }

    QString sign(const QString& data) { return engine->sign(gate, kCaList, data, 0, QString(), 3); }

    // A driver that picks a row, types the password and presses OK.
    static harness::ModalScript::DialogDriver answer(int row, const QString& password, bool thenCancel = false)
    {
        return [=](QDialog* d) {
            auto* list = d->findChild<QListWidget*>(QStringLiteral("certificateList"));
            auto* edit = d->findChild<QLineEdit*>(QStringLiteral("passwordEdit"));
            auto* ok = d->findChild<QPushButton*>(QStringLiteral("okButton"));
            EXPECT_TRUE(list && edit && ok);
            if (!list || !edit || !ok)
                return int(QDialog::Rejected);
            EXPECT_EQ(edit->echoMode(), QLineEdit::Password);
            list->setCurrentRow(row);
            edit->setText(password);
            ok->click();
            if (thenCancel && d->isVisible())
                d->findChild<QPushButton*>(QStringLiteral("cancelButton"))->click();
            return d->result();
        };
    }

    GatewayKeyPair keys = generateGatewayKeyPair();
    DeployFile deploy{QStringLiteral("127.0.0.1:9"), QString::fromStdString(keys.publicKeyBase64())};
    IVelcorEngine* engine = velcor_engine_instance();
    QString gate = velcortest::uniqueGateAddress();
};

} // namespace

TEST_F(EngineSignTest, SignatureBindsDataSessionAndTime)
{
    const CertificateInfo cert = issue("kim01", "김철수", "인증서암호1");
    const QString session = sessionKey();
    ASSERT_EQ(session.size(), 44);

    harness::ModalScript modals;
    modals.expectDialog(QStringLiteral("VelcorSignDialog"), answer(0, QStringLiteral("인증서암호1")));
    const QString signedText = sign(QStringLiteral("1"));
    modals.verify();
    ASSERT_FALSE(signedText.isEmpty()) << engine->lastError().toStdString();

    const std::string text = signedText.toStdString();
    const SignatureCheck ok = verifySignature(cert.publicKeyBase64, "1", text, session.toStdString(), kNow + 5, 300);
    EXPECT_TRUE(ok.ok) << ok.reason;
    EXPECT_EQ(ok.certId, cert.id);
    EXPECT_EQ(ok.timestamp, kNow);

    EXPECT_FALSE(verifySignature(cert.publicKeyBase64, "2", text, session.toStdString(), kNow, 300).ok);
    const QString otherSession = engine->encrypt(velcortest::uniqueGateAddress(), QStringLiteral("/off"),
                                                 QStringLiteral("x"), QStringLiteral("GET"))
                                     .left(44);
    EXPECT_FALSE(verifySignature(cert.publicKeyBase64, "1", text, otherSession.toStdString(), kNow, 300).ok);
    EXPECT_FALSE(verifySignature(cert.publicKeyBase64, "1", text, session.toStdString(), kNow + 3600, 300).ok);
}

TEST_F(EngineSignTest, SigningFirstMakesTheSessionThatLaterRequestsUse)
{
    const CertificateInfo first = issue("aaa", "가", "pw-a");
    const CertificateInfo second = issue("bbb", "나", "pw-b");
    harness::ModalScript modals;
    modals.expectDialog(QStringLiteral("VelcorSignDialog"), [](QDialog* d) {
        auto* list = d->findChild<QListWidget*>(QStringLiteral("certificateList"));
        EXPECT_EQ(list->count(), 2);
        EXPECT_EQ(list->item(0)->text(), QStringLiteral("가 (aaa)"));
        EXPECT_EQ(list->item(1)->text(), QStringLiteral("나 (bbb)"));
        return answer(1, QStringLiteral("pw-b"))(d);
    });
    const QString signedText = sign(QStringLiteral("데이터"));
    ASSERT_FALSE(signedText.isEmpty()) << engine->lastError().toStdString();
    const std::string session = sessionKey().toStdString();
    EXPECT_TRUE(verifySignature(second.publicKeyBase64, "데이터", signedText.toStdString(), session, kNow, 60).ok);
    EXPECT_FALSE(verifySignature(first.publicKeyBase64, "데이터", signedText.toStdString(), session, kNow, 60).ok);
}

TEST_F(EngineSignTest, WrongPasswordAndCancelGiveEmptyAndAReason)
{
    issue("kim01", "김철수", "right");
    sessionKey();
    harness::ModalScript modals;
    // A wrong password is said in the prompt, which stays open; then cancel.
    modals.expectDialog(QStringLiteral("VelcorSignDialog"), [](QDialog* d) {
        answer(0, QStringLiteral("wrong"))(d);
        EXPECT_TRUE(d->isVisible());
        EXPECT_NE(d->result(), QDialog::Accepted);
        EXPECT_EQ(d->findChild<QLabel*>(QStringLiteral("errorLabel"))->text(),
                  QStringLiteral("인증서 비밀번호가 올바르지 않습니다"));
        EXPECT_TRUE(d->findChild<QLineEdit*>(QStringLiteral("passwordEdit"))->text().isEmpty());
        d->findChild<QPushButton*>(QStringLiteral("cancelButton"))->click();
        return d->result();
    });
    EXPECT_TRUE(sign(QStringLiteral("1")).isEmpty());
    EXPECT_EQ(engine->lastError(), QStringLiteral("인증서 비밀번호가 올바르지 않습니다"));

    // Three wrong passwords close the prompt.
    modals.expectDialog(QStringLiteral("VelcorSignDialog"), [](QDialog* d) {
        for (int i = 0; i < 3; ++i)
            answer(0, QStringLiteral("wrong"))(d);
        EXPECT_FALSE(d->isVisible());
        return d->result();
    });
    EXPECT_TRUE(sign(QStringLiteral("1")).isEmpty());
    EXPECT_EQ(engine->lastError(), QStringLiteral("인증서 비밀번호가 올바르지 않습니다"));

    // Cancel straight away.
    modals.expectDialog(QStringLiteral("VelcorSignDialog"), [](QDialog* d) {
        d->findChild<QPushButton*>(QStringLiteral("cancelButton"))->click();
        return d->result();
    });
    EXPECT_TRUE(sign(QStringLiteral("1")).isEmpty());
    EXPECT_EQ(engine->lastError(), QStringLiteral("인증서 서명이 취소되었습니다"));

    // OK without a password keeps the prompt open and unlocks nothing.
    modals.expectDialog(QStringLiteral("VelcorSignDialog"), [](QDialog* d) {
        answer(0, QString())(d);
        EXPECT_TRUE(d->isVisible());
        EXPECT_EQ(d->findChild<QLabel*>(QStringLiteral("errorLabel"))->text(), QStringLiteral("비밀번호를 입력하십시오"));
        return int(QDialog::Rejected);
    });
    EXPECT_TRUE(sign(QStringLiteral("1")).isEmpty());
    EXPECT_EQ(engine->lastError(), QStringLiteral("인증서 서명이 취소되었습니다"));
    modals.verify();
    EXPECT_FALSE(platform::inputPanelVisible());
}

TEST_F(EngineSignTest, NoCertificateOrNoGateAddressOpensNoPrompt)
{
    harness::ModalScript modals; // any modal would fail the test
    EXPECT_TRUE(sign(QStringLiteral("1")).isEmpty());
    EXPECT_EQ(engine->lastError(), QStringLiteral("등록된 인증서가 없습니다"));
    issue("kim01", "김철수", "pw");
    EXPECT_TRUE(engine->sign(QString(), kCaList, QStringLiteral("1"), 0, QString(), 3).isEmpty());
    EXPECT_EQ(engine->lastError(), QStringLiteral("게이트 주소가 없습니다"));
    EXPECT_TRUE(modals.seen().isEmpty());
}
