#pragma once

#include "TMatchDocument.h"

#include <string>

// The export of what the four pages show, built on the same page data as the window.

// The whole JSON object of the export.
std::string PagesJson(const TMatchDocument& doc, const std::string& language);
