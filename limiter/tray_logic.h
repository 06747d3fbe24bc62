// Placeholder: pure decisions of the tray window (display state, texts, warnings).
#pragma once
