#pragma once
// Resource ids of studio: Picture Studio, Make Transparent and Picture Tint.
