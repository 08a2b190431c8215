#include "ui/ui.h"

namespace ui {

const char* const kListIndexError = "ﾘｽﾄのｲﾝﾃﾞｯｸｽが範囲を超えています";
const char* const kListInsertError = "行を挿入できません";

void Dispatch(App& app, const std::function<void()>& handler) {
  try {
    handler();
  } catch (const Error& e) {
    app.ShowError(e.what());
  } catch (const std::bad_alloc&) {
    app.ShowError("メモリが不足しています");
  }
}

}  // namespace ui
