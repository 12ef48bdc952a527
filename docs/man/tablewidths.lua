-- Fits the man pages to an 80-column terminal. Tables: each column but the last as
-- wide as its widest cell, the last one what is left.
-- Pandoc's man writer turns a width of 1 into 70 ens.
local FULL = 70
local LINE = 62 -- the ens a table may fill beside the page's indent and column gaps

local function widestCells(tbl)
  local widest = {}
  local function measure(rows)
    for _, row in ipairs(rows) do
      for i, cell in ipairs(row.cells) do
        local length = utf8.len(pandoc.utils.stringify(cell.contents)) or 0
        widest[i] = math.max(widest[i] or 0, length)
      end
    end
  end
  measure(tbl.head.rows)
  for _, body in ipairs(tbl.bodies) do
    measure(body.body)
  end
  return widest
end

function Table(tbl)
  local count = #tbl.colspecs
  if count < 2 then
    return nil
  end
  local widest = widestCells(tbl)
  local used = 0
  for i = 1, count - 1 do
    local width = math.min(widest[i] + 1, LINE // count)
    tbl.colspecs[i] = {tbl.colspecs[i][1], width / FULL}
    used = used + width
  end
  tbl.colspecs[count] = {tbl.colspecs[count][1], (LINE - used) / FULL}
  -- man renders one endless page, which groff grows as the text reaches its foot;
  -- a table that begins just above it makes tbl warn that a row will not fit on
  -- one page. Asking for room first grows the page before the table.
  return {pandoc.RawBlock("man", ".ne 12v"), tbl}
end

-- Code blocks at the text's own indent rather than indented further, so that a
-- line of up to 73 characters still fits an 80-column terminal.
local function roffText(text)
  local lines = {}
  for line in (text .. "\n"):gmatch("(.-)\n") do
    line = line:gsub("\\", "\\e"):gsub("%-", "\\-")
    if line:match("^[.']") then
      line = "\\&" .. line
    end
    table.insert(lines, line)
  end
  return table.concat(lines, "\n")
end

function CodeBlock(block)
  return pandoc.RawBlock("man", ".PP\n.nf\n\\f[C]\n" .. roffText(block.text) .. "\n\\f[R]\n.fi")
end
