#include "TQRPrintJob.h"

TQRPrintJob::~TQRPrintJob() = default;
