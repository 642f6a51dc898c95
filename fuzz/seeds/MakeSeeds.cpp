// Writes the seed inputs of every fuzz target into <folder>/<target>/seed-*:
//   fuzz_seeds FOLDER [TARGET...]
// The gateway and engine seeds are made by the real client channel against the
// fuzz gateway key (GatewayFixture.h), so running this again after a change of
// the sealed request format gives seeds of the new format. Old seed-* files of
// a target are replaced; other files (inputs kept from fuzzing) stay.
#include <sodium.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "ClientChannel.h"
#include "FuzzInput.h"
#include "Gateway.h"
#include "GatewayFixture.h"

namespace fs = std::filesystem;

namespace {

using Seeds = std::vector<std::string>;

std::string byte(unsigned b) { return std::string(1, static_cast<char>(b & 0xff)); }

// The plain bytes inside a request the channel sealed, opened with the
// gateway's secret key: whatever the current format puts there.
std::string plainOf(const std::string& text, bool end)
{
    namespace c = velcor::codec;
    const velcor::GatewayKeyPair gw = fuzz::gatewayKeys();
    c::Split split;
    if (!c::splitMessage(text, split).empty())
        return {};
    unsigned char rx[32], tx[32];
    if (crypto_kx_server_session_keys(rx, tx, gw.publicKey.data(), gw.secretKey.data(), split.clientPk.data()) != 0)
        return {};
    c::Bytes plain;
    const auto ad = c::requestAd(end ? velcor::protocol::kEndLabel : velcor::protocol::kRequestLabel,
                                 split.clientPk.data());
    if (!c::open(rx, ad, split.box.data(), split.box.size(), plain))
        return {};
    return std::string(plain.begin(), plain.end());
}

const char* kEnvelope =
    "<DataTag><msg>10000;정상처리 되었습니다.;</msg><free0>DEMOS;김민준;3;</free0><free1>20241105;</free1>"
    "<list0>110-234-567890;보통예금;3250000;|110-234-567891;저축예금;12800000;|</list0></DataTag>";

Seeds gatewaySeeds()
{
    enum { OpenRaw, EndRaw, OpenSealed, EndSealed, Idle, Forget, Reply, Replay, Wall, Establish };
    const velcor::GatewayKeyPair gw = fuzz::gatewayKeys();
    Seeds seeds;
    velcor::ClientChannel a(gw.publicKey), b(gw.publicKey);
    // Sealed at the target's fixed gateway time.
    a.setClockOffset(fuzz::kFuzzWallTime - velcor::ClientChannel::systemTime());
    b.setClockOffset(fuzz::kFuzzWallTime - velcor::ClientChannel::systemTime());
    const std::string a1 = a.sealRequest(true, "useSess=N&trcode=PDA_U001&UserID=DEMOS&UserPwd=1111");
    const std::string a2 = a.sealRequest(true, "trcode=PDA_U002&UserID=DEMOS");
    const std::string a3 = a.sealRequest(false, "trcode=PDA_T003");
    const std::string aEnd = a.sealEndSession();
    const std::string b1 = b.sealRequest(false, "trcode=PDA_U003&Num=1");
    // Raw texts: a session's life, replays, an end, a second client.
    seeds.push_back(fuzz::record(OpenRaw, a1) + fuzz::record(OpenRaw, a2) + byte(Replay) + byte(0) +
                    fuzz::record(Reply, kEnvelope) + fuzz::record(OpenRaw, a3) + fuzz::record(EndRaw, aEnd) +
                    fuzz::record(OpenRaw, b1) + byte(Replay) + byte(1));
    seeds.push_back(fuzz::record(OpenRaw, a2) + fuzz::record(OpenRaw, a1) + fuzz::record(OpenRaw, a2));
    seeds.push_back(fuzz::record(EndRaw, aEnd) + fuzz::record(OpenRaw, b1));
    // The same plain bytes sealed by the fixture's clients (any counter the
    // fuzzer makes): idle expiry and coming back, ends, forgetting.
    const std::string p1 = plainOf(a1, false), p2 = plainOf(a2, false), p3 = plainOf(a3, false);
    const std::string pEnd = plainOf(aEnd, true);
    auto sealed = [](unsigned op, unsigned client, const std::string& plain) {
        return byte(op) + byte(client) + fuzz::record(0, plain).substr(1);
    };
    seeds.push_back(sealed(OpenSealed, 0, p1) + byte(Idle) + byte(70) + sealed(OpenSealed, 0, p2) + byte(Replay) +
                    byte(0) + sealed(OpenSealed, 0, p1) + fuzz::record(Reply, kEnvelope));
    seeds.push_back(sealed(OpenSealed, 1, p1) + sealed(OpenSealed, 1, p2) + sealed(EndSealed, 1, pEnd) +
                    sealed(OpenSealed, 1, p3) + sealed(OpenSealed, 2, p1) + byte(Forget) + byte(2) +
                    sealed(OpenSealed, 2, p2));
    seeds.push_back(sealed(OpenSealed, 0, p1) + sealed(OpenSealed, 1, p1) + sealed(OpenSealed, 2, p1) +
                    byte(Idle) + byte(255) + sealed(OpenSealed, 0, p3) + sealed(EndSealed, 0, pEnd));
    // Out of the time window and back; anonymous sessions pushed out, a login kept.
    seeds.push_back(sealed(OpenSealed, 0, p1) + byte(Wall) + byte(6) + sealed(OpenSealed, 0, p2) + byte(Wall) +
                    byte(250) + sealed(OpenSealed, 0, p2) + byte(Replay) + byte(0));
    seeds.push_back(sealed(OpenSealed, 0, p1) + byte(Establish) + byte(0) + sealed(OpenSealed, 1, p1) +
                    sealed(OpenSealed, 2, p1) + sealed(OpenSealed, 5, p2) + sealed(OpenSealed, 4, p2) +
                    sealed(OpenSealed, 0, p2) + fuzz::record(OpenRaw, b1) + sealed(OpenSealed, 1, p3));
    return seeds;
}

Seeds engineSeeds()
{
    enum { Raw, Sealed, Tampered, Stale, ClockNotice };
    const velcor::GatewayKeyPair gw = fuzz::gatewayKeys();
    velcor::ClientChannel other(gw.publicKey);
    velcor::Gateway gateway(gw);
    const velcor::OpenResult r = gateway.open(other.sealRequest(true, "trcode=PDA_T003"));
    const std::string foreignReply = r.ok ? gateway.seal(r.opened, kEnvelope) : std::string();
    auto seed = [](unsigned op, unsigned flags, unsigned where, const std::string& request, const std::string& body) {
        return byte(op) + byte(flags) + byte(where) + fuzz::record(0, request).substr(1) + body;
    };
    return {
        seed(Raw, 1, 0, "trcode=PDA_T003", foreignReply),
        seed(Raw, 0, 0, "trcode=PDA_U002&UserID=DEMOS", "Error:세션이 없습니다"),
        seed(Sealed, 1, 0, "trcode=PDA_U002&UserID=DEMOS", kEnvelope),
        seed(Sealed, 2, 0, "trcode=PDA_T003", "<DataTag><msg>10000;;</msg><free0>20241105;143210;</free0></DataTag>"),
        seed(Tampered, 5, 17, "trcode=PDA_U003&Num=1", kEnvelope),
        seed(Stale, 0, 0, "trcode=PDA_U004&Num=2", kEnvelope),
        seed(ClockNotice, 0, 10, "trcode=PDA_T003", "trcode=PDA_U002&UserID=DEMOS"),
        seed(ClockNotice, 6, 200, "trcode=PDA_T003", "trcode=PDA_T003"),
        seed(Raw, 0, 0, "trcode=PDA_T003", "Clock:" + foreignReply.substr(0, 64)),
    };
}

// Requests of every transaction, as the client modules write them, for the demo bank.
std::vector<std::string> requests()
{
    return {
        "useSess=N&trcode=PDA_U001&UserID=DEMOS&UserPwd=1111",
        "encrypt=1&trcode=PDA_U002&UserID=DEMOS",
        "trcode=PDA_U003&Num=1",
        "trcode=PDA_U004&Num=3",
        "trcode=PDA_T003",
        "encrypt=1&trcode=PDA_A001&UserID=DEMOS",
        "encrypt=1&trcode=PDA_A002&UserID=DEMOS&SqlType=I&ZENTAB=04&ACCTNO=12345678901&NICKNAME=유리",
        "encrypt=1&trcode=PDA_A003&UserID=DEMOS",
        "encrypt=1&trcode=PDA_A004&UserID=DEMOS&SqlType=U&ACCTNO=110234567890&passwd=1234&ScrtyWay=S",
        "encrypt=1&trcode=PDA_A005&UserID=DEMOS&ScrtyWay=S&RandomNum=12",
        "encrypt=1&trcode=PDA_A006&UserID=DEMOS&ACCNO=110234567890",
        "encrypt=1&trcode=PDA_A007&UserID=DEMOS&ZENTAB=04&ACCTNO=110234567890",
        "encrypt=1&trcode=PDA_A008&UserID=DEMOS&DepositKind=A04&AccNO=110234567890",
        "encrypt=1&trcode=PDA_A009&UserID=DEMOS&DepositKind=A04&AccNO=110234567890&sdate=20241001&edate=20241105",
        "encrypt=1&trcode=PDA_T001&UserID=DEMOS&WthrwAccNO=110234567890&AccPwd=1234&DepstBankCD=20"
        "&DepstAccNO=110234567891&TranMny=10000&Sender=김민준&CMSCD=&IcheExecdate=",
        "encrypt=1&trcode=PDA_T002&UserID=DEMOS&WthrwAccNO=110234567890&DepstBankNm=타브린&RcverNm=김민준&CMSCD="
        "&IcheExecdate=&TranBefBal=3250000&DepstAccNO=110234567891&TranMny=10000&Sender=김민준&Charge=0&IcheType=1"
        "&DepstBankCD=20&AccPwd=1234&PayDaySumBranch=&DepstDaySumBranch=&TranMode=0&RsrvExecDay=&Seq=1&IMang="
        "&ScrtyWay=S&RandomNum=12&SecPwd=123456&SignedMsg=&Phone=",
        "encrypt=1&trcode=PDA_T004&UserID=DEMOS&InqSdate=20241101&InqEdate=20241106",
        "encrypt=1&trcode=PDA_T005&UserID=DEMOS&InqSdate=20241106&InqEdate=20241106&Seq=1",
        "encrypt=1&trcode=PDA_T006&UserID=DEMOS",
        "encrypt=1&trcode=PDA_T007&UserID=DEMOS&IcheExecDay=20241110&IcheSeqNo=1",
        "encrypt=1&trcode=PDA_C001&UserID=DEMOS&RelayDataYN=000&BankGubun=H",
        "encrypt=1&trcode=PDA_C002&UserID=DEMOS",
        "encrypt=1&trcode=PDA_C005&UserID=DEMOS&CardNO=9410200134567803&CardPwd=1234",
        "encrypt=1&trcode=PDA_C007&UserID=DEMOS&CardNO=9410200134567804&CardPwd=1234&Cash=100000&Zentab=&IpAccNO=",
        "encrypt=1&trcode=PDA_C008&UserID=DEMOS&CardNO=9410200134567804&CardPwd=12&Cash=300000",
        "encrypt=1&trcode=PDA_R001&UserID=DEMOS",
        "encrypt=1&trcode=PDA_R002&UserID=DEMOS&ACCTNO=110234567890&ACCTPWD=1234",
        "encrypt=1&trcode=PDA_R004&UserID=DEMOS&CARDDATA=9410200134567803",
        "encrypt=1&trcode=PDA_I001&UserID=DEMOS",
        "encrypt=1&trcode=PDA_I003&UserID=DEMOS&Pwd=1111&Pwd1=1112",
        "encrypt=1&trcode=PDA_I005&UserID=DEMOS&secgb=S",
        "encrypt=1&trcode=PDA_L001&UserID=DEMOS",
        "encrypt=1&trcode=PDA_L002&UserID=DEMOS&LoanAccNo=770010012345",
        "encrypt=1&trcode=PDA_L004&UserID=DEMOS&OutAccNO=110234567890&OutAccPWD=1234",
        "encrypt=1&trcode=PDA_L007&UserID=DEMOS&LoanAccNo=770-01-0023456",
        "trcode=PDA_S001&AccNO=110234567890&AccPwd=1234",
        "trcode=PDA_S002&AccNO=110234567890&AccPwd=1234&sdate=20241001&edate=20241105",
        "trcode=PDA_S003&BankCD=20&PublShopNO=0456&CheckNO=23456789",
        "trcode=PDA_S004&sdate=20241105",
        "trcode=PDA_D001&UserID=NEWUSER1&CorpJNO=8808082456789",
        "trcode=PDA_D002&UserID=SKYJUNG&CorpJNO=8808082456789&Pwd1=SKY2024&Pwd2=SKY2024",
        "trcode=PDA_U004&Num=1%26trcode=X&Value=50%25",
    };
}

Seeds querySeeds()
{
    Seeds s = requests();
    s.push_back("trcode=PDA_T003&trcode=PDA_T003");
    s.push_back("a=&b=%25%26%2&c=\xed\x95\x9c");
    return s;
}

Seeds dispatchSeeds()
{
    // Flags: bit 0 plain servlet; bits 1-2 session (DEMOS, DEMOK, anonymous, none).
    Seeds s;
    for (const std::string& r : requests()) {
        const bool plain = r.rfind("encrypt=1", 0) != 0;
        s.push_back(byte(plain ? 1 : 0) + r);
    }
    s.push_back(byte(2) + "encrypt=1&trcode=PDA_A001&UserID=DEMOK");
    s.push_back(byte(4) + "useSess=N&trcode=PDA_U001&UserID=DEMOP&UserPwd=3333");
    s.push_back(byte(0x18) + "encrypt=1&trcode=PDA_T006&UserID=DEMOS");
    return s;
}

Seeds cqvSeeds()
{
    auto seed = [](unsigned fields, const std::string& tag, const std::string& sep, const std::string& reply) {
        return byte(fields) + fuzz::record(0, tag).substr(1) + fuzz::record(0, sep).substr(1) + reply;
    };
    return {
        seed(3, "list0", "|", kEnvelope),
        seed(5, "free0", "|", kEnvelope),
        seed(2, "msg", ";", "<DataTag><msg>E0001;세션이 끝났습니다.;</msg></DataTag>"),
        seed(4, "list1", "||", "<DataTag><list1>a;b;||c;d;||</list1><list1>x;</list1></DataTag>"),
        seed(1, "", "", "<msg>10000;</msg>"),
        seed(6, "DataTag", "|", "<DataTag> <DataTag>in;</DataTag> </DataTag>\r\n\t<free0>;;;|;|</free0"),
    };
}

Seeds codepageSeeds()
{
    return {
        "정상처리 되었습니다. 똠방각하 ABC 123",
        "\xc1\xa4\xbb\xf3\xc3\xb3\xb8\xae",            // 정상처리 in code page 949
        "\x8c\x63\xc6\x52 \xff\xfe \x81",                // extended syllables, bad bytes, a cut-off lead
        "\xed\xa0\x80 \xc0\xaf \xf4\x90\x80\x80 \xe2\x82", // surrogate, overlong, too high, cut off
        std::string("a\0b\x7f\xa1\xa1", 6),
        "€ ß ✓ 😀 ヶ 中",
    };
}

Seeds registrySeeds()
{
    auto seed = [](unsigned flags, const std::string& key, const std::string& name, const std::string& value,
                   const std::string& file) {
        return byte(flags) + fuzz::record(0, key).substr(1) + fuzz::record(0, name).substr(1) +
               fuzz::record(0, value).substr(1) + file;
    };
    const std::string file =
        R"({ "keys": { "software\\tavrin": { "name": "Software\\Tavrin", "values": {)"
        R"( "version": { "name": "Version", "type": "dword", "data": 3 },)"
        R"( "home": { "name": "Home", "type": "sz", "data": "\\Program Files\\타브린" } } },)"
        R"( "software": { "name": "Software", "values": {} } } })";
    return {
        seed(0, "Software\\Tavrin", "Version", "x", file),
        seed(6, "SOFTWARE\\TAVRIN", "home", "기본값", file),
        seed(9, "\\\\A\\\\B\\", "N", "", R"({"keys":{"a\\b":{"values":{"n":{"type":"dword","data":-1}}}}})"),
        seed(3, "Software", "Version", "v", R"({"keys":{"software":{"values":{"version":{"type":"dword","data":1e300}}}}})"),
        seed(1, "K", "N", "V", "[1,2,3]"),
        seed(4, "K", "N", "V", R"({"keys":{"k":{"values":{"n":"text"}}},"keys":5})"),
        seed(0, "K", "N", "V", "\xef\xbb\xbf{\"keys\":"),
    };
}

bool writeSeeds(const fs::path& folder, const Seeds& seeds)
{
    std::error_code ec;
    fs::create_directories(folder, ec);
    for (const auto& entry : fs::directory_iterator(folder, ec))
        if (entry.path().filename().string().rfind("seed-", 0) == 0)
            fs::remove(entry.path(), ec);
    int n = 0;
    for (const std::string& s : seeds) {
        char name[32];
        std::snprintf(name, sizeof name, "seed-%02d", ++n);
        std::ofstream out(folder / name, std::ios::binary);
        out.write(s.data(), static_cast<std::streamsize>(s.size()));
        if (!out)
            return false;
    }
    std::printf("%s: %d seeds\n", folder.c_str(), n);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2 || sodium_init() < 0) {
        std::fprintf(stderr, "usage: %s FOLDER [TARGET...]\n", argv[0]);
        return 2;
    }
    const std::set<std::string> only(argv + 2, argv + argc);
    const std::pair<const char*, Seeds (*)()> targets[] = {
        {"gateway", gatewaySeeds},        {"engine_reply", engineSeeds}, {"bankd_query", querySeeds},
        {"bankd_dispatch", dispatchSeeds}, {"cqv_parser", cqvSeeds},     {"codepage", codepageSeeds},
        {"registry", registrySeeds},
    };
    for (const auto& [name, make] : targets)
        if ((only.empty() || only.count(name)) && !writeSeeds(fs::path(argv[1]) / name, make()))
            return 1;
    return 0;
}
