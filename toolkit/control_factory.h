#pragma once
// The control toolkit's shared state: screen resolution and focus order.
void InitToolkit();
