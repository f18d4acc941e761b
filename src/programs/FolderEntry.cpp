#include "programs/FolderEntry.h"

#include "ui/ReadableText.h"

namespace oskel {

int FolderEntry::Kind() const { return ParseHex4(header + kHeaderKindOffset); }
int FolderEntry::AppId() const { return ParseHex4(header + kHeaderAppIdOffset); }
int FolderEntry::CopyFlag() const { return ParseHex4(header + kHeaderCopyFlagOffset); }
int FolderEntry::Version() const { return ParseHex4(header + kHeaderVersionOffset); }

std::string FolderEntry::DisplayName() const
{
    return ReadTextField(header + kHeaderDisplayNameOffset, kDisplayNameWidth);
}

std::string FolderEntry::DisplayText() const
{
    return ui::ReadableText(DisplayName());
}

std::string FolderEntry::FileNameText() const
{
    return ui::ReadableText(fileName);
}

} // namespace oskel
