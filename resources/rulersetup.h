#pragma once
// Resource ids of the Ruler Setup sheet.
