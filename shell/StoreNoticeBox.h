// Tells the user about the files the program keeps that could not be read whole or saved
// (platform/StoreNotices.h): in a box that does not block the player, once its windows are up.
#pragma once

#include "platform/StoreNotices.h"

#include <string>
#include <vector>

class QWidget;

namespace shell {

// The notices as the user reads them, in the current language, one paragraph each.
std::string StoreNoticeText(const std::vector<platform::StoreNotice>& notices);

// Shows the waiting notices above owner, and from now on each new one as it comes; a null owner
// stops showing them (the notices then wait, see TakeStoreNotices).
void ShowStoreNotices(QWidget* pOwner);

} // namespace shell
