#include "views/view.h"

namespace kv {

View::View(ViewContext context, const QString& sheetName, const QString& designCaption)
    : context_(context), designCaption_(designCaption) {
    setObjectName(sheetName);
}

} // namespace kv
