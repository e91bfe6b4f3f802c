#include "windowing/version_form.h"

#include "windowing/center_form.h"

namespace velmora::windowing {

void VersionForm::Form_Load() { SharedModule::CenterForm(screen_, window_); }

void VersionForm::OkCommand_Click() { unloader_.Unload(); }

}  // namespace velmora::windowing
