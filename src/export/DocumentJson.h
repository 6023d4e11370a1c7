#pragma once

#include "JsonWriter.h"
#include "TMatchDocument.h"

// Writes the "document" object of the export: every field of the log as loaded, texts as UTF-8.
void WriteDocumentJson(JsonWriter& json, const TMatchDocument& doc);
