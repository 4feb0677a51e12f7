#pragma once

#include <functional>

class QWidget;

// Pumps events until Condition holds or TimeoutMs has passed; returns whether it holds.
bool WaitUntil(const std::function<bool()>& Condition, int TimeoutMs = 5000);

// Frees the widgets that asked to be deleted later (windows that closed themselves).
void FlushDeferredDeletes();

// Answers the next modal dialog the way a user would: once it is shown and active, Answer
// runs with it. Call before the code that opens the dialog.
void AnswerNextModal(std::function<void(QWidget* Dialog)> Answer);
