-- Neovim's built-in LSP client against directive-host lsp, set up by the
-- Neovim 0.7 snippet of docs/editors.md as it is written there: open a
-- script and reload it (one server however often), check omnifunc and
-- tagfunc, wait for its diagnostics, format it, jump from a goto to its
-- label (by tagfunc and by gd), rename the label, and check the buffer after
-- each step. Run headless:
--   DIRECTIVE_HOST=... WORK_DIR=... nvim --headless --clean -c 'luafile nvim_e2e.lua'
-- Exits 0 when every step holds, else 1 with the reason on standard error.
local host = assert(os.getenv('DIRECTIVE_HOST'), 'DIRECTIVE_HOST is not set')
local work = assert(os.getenv('WORK_DIR'), 'WORK_DIR is not set')
local timeout = 10000

local script = {
  '#label   =   start',
  'echo "begin"',
  '  #goto=start',
  '#IF "$A" == "b" goto Start',
}

local function check(condition, what)
  if not condition then
    error(what, 2)
  end
end

local function lines()
  return vim.api.nvim_buf_get_lines(0, 0, -1, false)
end

local function same(actual, expected)
  return table.concat(actual, '\n') == table.concat(expected, '\n')
end

local function wait_for(what, condition)
  check(vim.wait(timeout, condition, 20), 'timed out waiting for ' .. what)
end

-- The first Lua block after the 0.7 heading of docs/editors.md, with the
-- program's path for `directive-host`.
local function documented_setup()
  local here = debug.getinfo(1, 'S').source:sub(2)
  local docs = vim.fn.fnamemodify(here, ':p:h') .. '/../../docs/editors.md'
  local text = table.concat(vim.fn.readfile(docs), '\n')
  local from = assert(text:find('Neovim 0.7 to 0.10', 1, true), 'no 0.7 section')
  local block = text:match('```lua\n(.-)\n```', from)
  check(block and block:find("{ 'directive-host', 'lsp' }", 1, true),
    'the 0.7 snippet does not start directive-host lsp')
  return block:gsub("{ 'directive%-host', 'lsp' }",
    function() return "{ '" .. host .. "', 'lsp' }" end)
end

local function run()
  vim.fn.mkdir(work, 'p')
  local path = work .. '/job.script'
  vim.fn.writefile(script, path)
  assert(loadstring(documented_setup()))()
  vim.cmd('edit ' .. vim.fn.fnameescape(path))
  check(vim.bo.filetype == 'directive', 'the file type is ' .. vim.bo.filetype)
  -- Reloads start no other server, whether it is up yet or not.
  vim.cmd('edit!')
  wait_for('the server', function() return #vim.lsp.get_active_clients() > 0 end)
  vim.cmd('edit!')
  vim.cmd('edit!')
  vim.wait(500) -- time for any other server to come up
  local clients = vim.lsp.get_active_clients()
  check(#clients == 1, #clients .. ' servers run after three reloads')
  local client = clients[1].id
  check(vim.lsp.buf_is_attached(0, client), 'the buffer is not attached')
  check(vim.bo.omnifunc == 'v:lua.vim.lsp.omnifunc', 'omnifunc is ' .. vim.bo.omnifunc)
  check(vim.bo.tagfunc == 'v:lua.vim.lsp.tagfunc', 'tagfunc is ' .. vim.bo.tagfunc)

  wait_for('diagnostics', function() return #vim.diagnostic.get(0) > 0 end)
  local diagnostics = vim.diagnostic.get(0)
  check(#diagnostics == 1, 'expected one diagnostic, got ' .. #diagnostics)
  check(diagnostics[1].lnum == 3, 'the diagnostic is on line ' .. diagnostics[1].lnum)
  check(diagnostics[1].message ==
    "label 'Start' is not defined; did you mean 'start' (line 1)?",
    'the diagnostic says: ' .. diagnostics[1].message)

  if vim.lsp.buf.format then
    vim.lsp.buf.format({ timeout_ms = timeout })
  else
    vim.lsp.buf.formatting_sync(nil, timeout)
  end
  local formatted = {
    '#LABEL ="start"',
    'echo "begin"',
    '  #GOTO ="start"',
    '#IF "$A" == "b" goto Start',
  }
  check(same(lines(), formatted), 'formatted: ' .. table.concat(lines(), '|'))

  -- <C-]> through tagfunc, then gd as mapped.
  vim.api.nvim_win_set_cursor(0, { 3, 10 })
  vim.cmd('normal! \29')
  check(vim.api.nvim_win_get_cursor(0)[1] == 1,
    '<C-]> lands on line ' .. vim.api.nvim_win_get_cursor(0)[1])
  vim.api.nvim_win_set_cursor(0, { 3, 10 })
  vim.cmd('normal gd')
  wait_for('the jump', function() return vim.api.nvim_win_get_cursor(0)[1] == 1 end)
  check(vim.api.nvim_win_get_cursor(0)[2] == 9,
    'the jump lands at column ' .. vim.api.nvim_win_get_cursor(0)[2])

  vim.lsp.buf.rename('begin')
  wait_for('the rename', function() return lines()[1] == '#LABEL ="begin"' end)
  check(same(lines(), {
    '#LABEL ="begin"',
    'echo "begin"',
    '  #GOTO ="begin"',
    '#IF "$A" == "b" goto Start',
  }), 'renamed: ' .. table.concat(lines(), '|'))
  -- The server saw the changes: 'Start' now has no near miss to suggest.
  wait_for('new diagnostics', function()
    local now = vim.diagnostic.get(0)
    return #now == 1 and now[1].message == "label 'Start' is not defined"
  end)

  vim.lsp.stop_client(client)
end

local ok, problem = pcall(run)
if ok then
  vim.cmd('qall!')
else
  io.stderr:write('nvim_e2e: ' .. tostring(problem) .. '\n')
  vim.cmd('cquit 1')
end
