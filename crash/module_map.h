#pragma once
void InitModuleMap();
