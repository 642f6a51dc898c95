#include "Cheques.h"

#include "Sqlite.h"

namespace bankd::cheques {

void add(Db& db, const Cheque& c)
{
    auto s = db.prepare(
        "INSERT INTO cheques (bank_code, branch_no, cheque_no, kind_code, amount, issued_on, accident) "
        "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)");
    s.bind(1, c.bankCode).bind(2, c.branchNo).bind(3, c.chequeNo).bind(4, c.kindCode).bind(5, c.amount);
    s.bind(6, c.issuedOn).bind(7, c.accident);
    s.run();
}

std::optional<Cheque> find(Db& db, const std::string& bankCode, const std::string& chequeNo)
{
    auto s = db.prepare(
        "SELECT bank_code, branch_no, cheque_no, kind_code, amount, issued_on, accident FROM cheques "
        "WHERE bank_code = ?1 AND cheque_no = ?2");
    s.bind(1, bankCode).bind(2, chequeNo);
    if (!s.step())
        return std::nullopt;
    return Cheque{s.text(0), s.text(1), s.text(2), s.text(3), s.integer(4), s.text(5), s.text(6)};
}

} // namespace bankd::cheques
