#pragma once

#include <QString>

// The demo's database: customers, products and orders, with a generator that
// numbers the orders. It lives in the per-user folder; the first start creates
// it and fills it with sample rows.

// The embedded database file of the demo.
QString OrdersDatabaseFile();

// Creates the tables and the generator unless they exist, then fills an empty
// database with sample customers, products and orders. Each of the two steps
// runs in one transaction, so an interrupted start leaves no half-made step.
// Runs on the control panel's connection, which must be open. False, with the
// database's message in *error, when a step fails.
bool PrepareOrdersDatabase(QString *error);
