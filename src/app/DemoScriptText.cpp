#include "DemoScriptText.h"

namespace velkin {

QString demoSlowScript() {
    return QStringLiteral("SELECT 1;\nSELECT SLEEP(3);\nSELECT 2;\n");
}

QString demoConsoleScript() {
    return QStringLiteral(
        "-- a script: one statement after the other\n"
        "UPDATE sorvane_demo.customers SET city = 'Tokyo' WHERE id = 7;\n"
        "select c.id, c.name, c.email, c.city, o.quantity, o.ordered_at\n"
        "from sorvane_demo.orders o join sorvane_demo.customers c on c.id = o.customer_id\n"
        "where o.quantity > 5 order by c.id;");
}

}  // namespace velkin
