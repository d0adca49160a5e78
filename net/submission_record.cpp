#include "net/submission_record.h"

SubmissionRecord theSubmission;
