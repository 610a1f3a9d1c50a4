#include "ovcbridgesvcs/apps/app_classes.h"

#include "automation/com_object.h"
#include "ovcbridgesvcs/apps/app.h"
#include "ovcbridgesvcs/apps/app_collection.h"
#include "ovcbridgesvcs/apps/excel_app.h"
#include "ovcbridgesvcs/apps/word_app.h"

namespace ovc::apps {

void PlugAppClasses(ClassTable& table) {
  table.Plug(CLSID_App, &CreateObject<CApp>);
  table.Plug(CLSID_AppCollection, &CreateObject<CAppCollection>);
  table.Plug(CLSID_ExcelApp, &CreateObject<CExcelApp>);
  table.Plug(CLSID_WordApp, &CreateObject<CWordApp>);
}

}  // namespace ovc::apps
