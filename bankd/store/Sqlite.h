#pragma once
// The database layer (Db, Stmt, Transaction) under its first name: bankd's
// database was SQLite alone before it had two engines.
#include "Db.h"
